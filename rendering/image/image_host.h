#pragma once
// What the image family asks of the application: the set of every live image
// surface (screenshot statistics read their texture bytes). Every
// ImageSurface registers itself when made and unregisters when destroyed.
//
// The application object derives from ImageSetHost; its constructor installs
// it as the one process-wide instance and its destructor removes it. Tests
// install a double the same way; without one, images register nowhere.
// Threads: called from whichever thread makes or destroys an image; the
// implementation guards its set with the application lock.

class ImageSurface;

class ImageSetHost {
public:
    ImageSetHost();
    virtual ~ImageSetHost();
    ImageSetHost(const ImageSetHost&) = delete;
    ImageSetHost& operator=(const ImageSetHost&) = delete;

    // The installed instance, or null.
    static ImageSetHost* Installed();

    virtual void RegisterImage(ImageSurface* image) = 0;
    // An image not in the set is ignored.
    virtual void UnregisterImage(ImageSurface* image) = 0;
};
