#include "platform/message_box.h"

static MessageBoxHook message_box_hook = nullptr;

int show_message_box(HWND owner, const char* text, const char* caption, UINT type) {
    if (message_box_hook) return message_box_hook(owner, text, caption, type);
    return MessageBoxA(owner, text, caption, type);
}

MessageBoxHook set_message_box_hook(MessageBoxHook hook) {
    MessageBoxHook previous = message_box_hook;
    message_box_hook = hook;
    return previous;
}
