#pragma once
// The application's blend-shader table: draw mode -> the shader program that
// composes that mode against the destination's own pixels, and the step that
// fills it with the game's multiply, overlay and softlight shaders once the
// device has started.
//
// The application object holds one table and answers the drawing context's
// lookups from it (its BlendShaderHost::FindBlendShader returns Find).
// The programs are the table's: it deletes them when it goes, unless the
// device wrapper has already deleted them at its own end. A table must not
// outlive one device wrapper into the next.
// Threads: the main thread (filled after the device starts, read while drawing).

#include <cstddef>
#include <map>

class ShaderProgram;

class BlendShaderTable {
public:
    BlendShaderTable() = default;
    ~BlendShaderTable();
    BlendShaderTable(const BlendShaderTable&) = delete;
    BlendShaderTable& operator=(const BlendShaderTable&) = delete;

    // The mode's program, or null; a mode looked up for the first time is
    // entered with no program.
    ShaderProgram* Find(int drawMode);
    // Puts the program (owned from now on) in the mode's place, deleting the
    // one that was there.
    void Set(int drawMode, ShaderProgram* program);
    // The modes entered so far, with or without a program.
    std::size_t size() const { return programs_.size(); }

private:
    std::map<int, ShaderProgram*> programs_;
};

// Fills the multiply, overlay and softlight modes from
// "properties/multiply.hlsl", "properties/overlay.hlsl" and
// "properties/softlight.hlsl". Called after every device start; a mode that
// already has its program keeps it (programs make themselves again after a
// device loss), so recovering from a lost device loads nothing twice.
void LoadBlendShaders(BlendShaderTable& table);
