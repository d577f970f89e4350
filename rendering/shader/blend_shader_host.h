#pragma once
// What the drawing context asks of the application for blend-shader draws:
// the shader that composes a draw mode against the destination's own pixels
// (the application's blend-shader table, filled after the device starts with
// the multiply, overlay and softlight shaders).
//
// The application object derives from BlendShaderHost; its constructor
// installs it as the one process-wide instance and its destructor removes it.
// Tests install a double the same way; without one no mode has a shader.
// Threads: called on the drawing thread with the device lock held.

class DeviceShaderProgram;

class BlendShaderHost {
public:
    BlendShaderHost();
    virtual ~BlendShaderHost();
    BlendShaderHost(const BlendShaderHost&) = delete;
    BlendShaderHost& operator=(const BlendShaderHost&) = delete;

    // The installed instance, or null.
    static BlendShaderHost* Installed();

    // The table's shader for a draw mode; null when the mode has none.
    virtual DeviceShaderProgram* FindBlendShader(int drawMode) = 0;
};

// The installed host's shader for the mode, null without a host.
DeviceShaderProgram* FindBlendShader(int drawMode);
