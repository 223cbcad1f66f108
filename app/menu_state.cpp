#include "app/menu_state.h"
#include "loupe/capture_mode.h"
#include "resources/resource.h"

MenuState menu_state(const Settings& s, int layered_supported) {
    MenuState state = {};
    state.visibility_item = s.visible == kVisibleShown    ? IDM_VISIBLE_SHOWN
                            : s.visible == kVisibleHidden ? IDM_VISIBLE_HIDDEN
                                                          : IDM_VISIBLE_TOGGLE;
    state.point_info = s.ttdisp != 0;
    state.loupe_mode = s.loupe != 0;
    state.marker = s.marker != 0;
    state.pixel_grid = s.grid != 0;
    state.gray = s.graybmp != 0;
    state.invert = s.invertbmp != 0;
    state.use_rules = s.winset != 0;
    state.follow_caret = s.caret != 0;
    state.click_through_grayed = !click_through_offered(s.loupe, layered_supported, s.layered);
    state.click_through_checked = !state.click_through_grayed && s.addhole != 0;
    return state;
}
