// Entry of brisvane_e2e_tests.exe. Besides running the suite, the executable
// doubles as two small helpers, so no second Windows program is needed:
//   --report-version      exits with the major Windows version Wine reports
//                         to this process (run under another name to check a
//                         per-executable version setting);
//   --demo EXE OUTDIR     shows the test picture, runs EXE and writes a series
//                         of screenshots to OUTDIR (see demo.cpp).
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>

namespace e2e {
int run_demo(const char* exe, const char* out_dir);
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "--report-version") == 0) {
        OSVERSIONINFOA vi{};
        vi.dwOSVersionInfoSize = sizeof vi;
        GetVersionExA(&vi);
        return static_cast<int>(vi.dwMajorVersion);
    }
    if (argc >= 4 && std::strcmp(argv[1], "--demo") == 0) return e2e::run_demo(argv[2], argv[3]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
