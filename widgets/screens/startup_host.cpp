#include "widgets/screens/startup_host.h"

StartupHost& StartupHost::Fallback() {
    static NullStartupHost none;
    return none;
}
