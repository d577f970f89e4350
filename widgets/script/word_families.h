#pragma once
// One registration function per family of script words; ScriptWordTable
// calls each once. A new family adds its line here and in word_families.cpp.

class ScriptWords;

void RegisterLayerWords(ScriptWords& words);
void RegisterMotionWords(ScriptWords& words);
void RegisterFrameWords(ScriptWords& words);
void RegisterVariableWords(ScriptWords& words);
void RegisterFlowWords(ScriptWords& words);
void RegisterWaitWords(ScriptWords& words);
void RegisterAnimationWords(ScriptWords& words);
void RegisterSoundWords(ScriptWords& words);
void RegisterTreeWords(ScriptWords& words);
void RegisterPointWords(ScriptWords& words);
void RegisterAppearanceWords(ScriptWords& words);
void RegisterCreateWords(ScriptWords& words);
void RegisterMergeWords(ScriptWords& words);
void RegisterTextWords(ScriptWords& words);
void RegisterButtonWords(ScriptWords& words);
void RegisterLabelWords(ScriptWords& words);
void RegisterOverlayWords(ScriptWords& words);
