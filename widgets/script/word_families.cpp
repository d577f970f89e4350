#include "widgets/script/word_families.h"

#include "widgets/script/script_words.h"

ScriptWords& ScriptWordTable() {
    static ScriptWords table = [] {
        ScriptWords words;
        RegisterLayerWords(words);
        RegisterMotionWords(words);
        RegisterFrameWords(words);
        RegisterVariableWords(words);
        RegisterFlowWords(words);
        RegisterWaitWords(words);
        RegisterAnimationWords(words);
        RegisterSoundWords(words);
        RegisterTreeWords(words);
        RegisterPointWords(words);
        RegisterAppearanceWords(words);
        RegisterCreateWords(words);
        RegisterMergeWords(words);
        RegisterTextWords(words);
        RegisterButtonWords(words);
        RegisterLabelWords(words);
        RegisterOverlayWords(words);
        return words;
    }();
    return table;
}
