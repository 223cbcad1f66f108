// Without the system, the program's own code page: 932, whose lead bytes are
// 0x81..0x9F and 0xE0..0xFC (0xA1..0xDF are single-byte katakana).
#include "platform/ansi_text.h"

bool ansi_lead_byte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
