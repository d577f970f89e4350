#pragma once
// The blend-shader table: draw mode -> the shader program that composes that
// mode against the destination's own pixels. The device wrapper holds the
// one the drawing context reads (D3DInterface::GetBlendShaders); the
// application fills it after every device start (LoadBlendShaders,
// rendering/shader/blend_shaders.h).
//
// The programs are the table's: it deletes them when it goes, unless the
// device wrapper has already deleted them at its own end (it deletes every
// program registered with it). A table of its own, outside the device
// wrapper, must not outlive one device wrapper into the next.
// Threads: the main thread (filled after the device starts, read while
// drawing with the device lock held).

#include <cstddef>
#include <map>

class DeviceShaderProgram;

class BlendShaderTable {
public:
    BlendShaderTable() = default;
    ~BlendShaderTable();
    BlendShaderTable(const BlendShaderTable&) = delete;
    BlendShaderTable& operator=(const BlendShaderTable&) = delete;

    // The mode's program, or null; a mode looked up for the first time is
    // entered with no program.
    DeviceShaderProgram* Find(int drawMode);
    // Puts the program (owned from now on) in the mode's place, deleting the
    // one that was there.
    void Set(int drawMode, DeviceShaderProgram* program);
    // The modes entered so far, with or without a program.
    std::size_t size() const { return programs_.size(); }

private:
    std::map<int, DeviceShaderProgram*> programs_;
};
