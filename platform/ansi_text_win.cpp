#include <windows.h>
#include "platform/ansi_text.h"

bool ansi_lead_byte(unsigned char byte) {
    return IsDBCSLeadByteEx(CP_ACP, byte) != 0;
}
