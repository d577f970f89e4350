#pragma once
// One registration function per family of script words; ScriptWordTable
// calls each once. A new family adds its line here and in word_families.cpp.

class ScriptWords;

void RegisterLayerWords(ScriptWords& words);
void RegisterTreeWords(ScriptWords& words);
void RegisterPointWords(ScriptWords& words);
void RegisterAppearanceWords(ScriptWords& words);
void RegisterCreateWords(ScriptWords& words);
