#!/bin/sh
# Refuses includes that break the layering, before anything is built:
#  - a project include that points to a higher layer
#    (platform < foundation < rendering < widgets < app < game/data < game/park < game/frontend);
#  - inside game/park, an include that points to a higher room, or to another
#    room on the same step (base and display < grid < buildings < people <
#    tasks < parkgrid); a park room the list lacks is refused until it is placed;
#  - a third-party header outside the folders that own that library;
#  - an angle-bracket header that is neither the C/C++ standard library, a known
#    system header, nor a third-party library listed below.
# tests/, bench/, tools/ and fuzz/ sit on top: they may include every layer, and
# the third-party libraries listed for them.
# Usage: scripts/check-layers.sh [top folder]   Exit status 1 lists every offence.
set -eu
cd "${1:-$(dirname "$0")/..}"

find platform foundation rendering widgets app game tests bench tools fuzz \
     -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cpp' \) 2>/dev/null |
LC_ALL=C sort | xargs awk '
function layer_of(path) {
    if (path ~ /^platform\//) return 0
    if (path ~ /^foundation\//) return 1
    if (path ~ /^rendering\//) return 2
    if (path ~ /^widgets\//) return 3
    if (path ~ /^app\//) return 4
    if (path ~ /^game\/data\//) return 5
    if (path ~ /^game\/park\//) return 6
    if (path ~ /^game\/frontend\//) return 7
    return 99   # tests, bench, tools, fuzz: above every layer
}
# The rooms of game/park stand on steps as the layers do (-1: no known room).
function room_of(path) {
    if (path !~ /^game\/park\/[^\/]+\//) return ""
    split(path, part, "/")
    return part[3]
}
function step_of(room) {
    if (room == "base" || room == "display") return 0
    if (room == "grid") return 1
    if (room == "buildings") return 2
    if (room == "people") return 3
    if (room == "tasks") return 4
    if (room == "parkgrid") return 5
    return -1
}
# Folders (path prefixes, space separated) that may include a third-party header.
function owners(h) {
    if (h ~ /^SDL/) return "platform/gfx/ platform/sound/ platform/window/ platform/music/ tests/platform/"
    if (h ~ /^(ft2build\.h|freetype\/)/) return "platform/fonts/ tools/fontsheet/ tests/platform/ tests/rendering/"
    if (h ~ /^fontconfig\//) return "platform/fonts/"
    if (h ~ /^(png|pngconf|zlib)\.h$/) return "rendering/imagefile/ tests/rendering/ bench/ fuzz/seeds/"
    if (h ~ /^(jpeglib|jerror|jconfig|jmorecfg)\.h$/) return "rendering/imagefile/ tests/rendering/ bench/ fuzz/seeds/"
    if (h ~ /^(tremor|vorbis|ogg)\//) return "platform/music/ app/audio/ tests/app/"
    if (h ~ /^xmp\.h$/) return "platform/music/ app/audio/ tests/app/"
    if (h ~ /^(gtest|gmock)\//) return "tests/"
    if (h ~ /^benchmark\//) return "bench/"
    if (h ~ /^(expat|expat_external|muParser)\.h$/) return "bench/"
    if (h ~ /^fuzzer\//) return "fuzz/"
    return ""
}
function is_system(h) {
    if (h !~ /\./ && h !~ /\//) return 1                          # <vector>, <cstdio>
    if (h ~ /^(sys|netinet|arpa|linux)\//) return 1
    if (h ~ /^(unistd|fcntl|dirent|poll|pwd|signal|dlfcn|execinfo|link|cxxabi|netdb|errno|stdlib|stdio|string|stdint|math|time|setjmp|pthread|sched|ucontext|limits|wchar|locale|termios|spawn|grp|glob|fnmatch|langinfo|iconv|regex|malloc)\.h$/) return 1
    if (h ~ /^(x86intrin|emmintrin|immintrin|smmintrin|tmmintrin|xmmintrin|cpuid)\.h$/) return 1
    return 0
}
FNR == 1 {
    file = FILENAME; mine = layer_of(file); myroom = room_of(file)
    if (myroom != "" && step_of(myroom) < 0) { printf "%s: game/park/%s/ is no room of the park this check knows\n", file, myroom; bad = 1 }
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
    h = $0; sub(/^[^"]*"/, "", h); sub(/".*$/, "", h)
    if (h !~ /\//) next                                         # same-folder include
    target = layer_of(h)
    if (target == 99) {
        if (mine != 99 && h !~ /^(tests|bench|tools|fuzz)\//) next   # not a project path
        if (mine != 99) { printf "%s:%d: includes \"%s\" from the tests or tools above every layer\n", file, FNR, h; bad = 1 }
        next
    }
    if (target > mine) { printf "%s:%d: includes \"%s\" from a higher layer\n", file, FNR, h; bad = 1; next }
    room = room_of(h)
    if (myroom == "" || room == "" || room == myroom || step_of(myroom) < 0) next
    if (step_of(room) > step_of(myroom)) { printf "%s:%d: includes \"%s\" from a higher room of the park\n", file, FNR, h; bad = 1 }
    else if (step_of(room) == step_of(myroom)) { printf "%s:%d: includes \"%s\" from a room beside its own\n", file, FNR, h; bad = 1 }
    next
}
/^[ \t]*#[ \t]*include[ \t]*</ {
    h = $0; sub(/^[^<]*</, "", h); sub(/>.*$/, "", h)
    if (is_system(h)) next
    allowed = owners(h)
    if (allowed == "") { printf "%s:%d: <%s> is no standard, system or listed third-party header\n", file, FNR, h; bad = 1; next }
    n = split(allowed, folder, " ")
    for (i = 1; i <= n; i++) if (index(file, folder[i]) == 1) next
    printf "%s:%d: <%s> belongs to %s only\n", file, FNR, h, allowed; bad = 1
}
END {
    if (bad) { print "layering check: refused (see above)"; exit 1 }
    print "layering check: every include points down or stays in its folder"
}'
