#include "widgets/script/script_host.h"

ScriptHost& ScriptHost::Fallback() {
    static NullScriptHost none;
    return none;
}
