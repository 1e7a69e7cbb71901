#include "gl_context.h"

#include <dlfcn.h>
#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstring>

#include "engine/log.h"

namespace {

// What the first attempt found; the context lives until the process ends.
struct gl_state_t {
    bool tried = false;
    bool ready = false;
    bool forbidden = false;
    bool reported = false;
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    GLuint depth = 0;
    int width = 0;
    int height = 0;
};

gl_state_t state;

void report_missing(const char* why)
{
    if (state.reported)
        return;
    state.reported = true;
    warning("gfx: no off-screen OpenGL (%s): frames and screenshots stay black", why);
}

// libepoxy ends the process when it cannot open libEGL, so its presence is checked first.
bool egl_library_present()
{
    void* library = dlopen("libEGL.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    dlclose(library);
    return true;
}

bool has_extension(const char* list, const char* name)
{
    if (!list)
        return false;
    const size_t length = strlen(name);
    for (const char* at = strstr(list, name); at; at = strstr(at + 1, name))
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

EGLDisplay open_display()
{
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (has_extension(client, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
            return display;
    }
    EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr))
        return display;
    return EGL_NO_DISPLAY;
}

// A context without a window: surfaceless when the display allows it, else on a small pbuffer.
bool make_context()
{
    if (!eglBindAPI(EGL_OPENGL_API))
        return false;
    const EGLint config_wanted[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    const bool surfaceless =
        has_extension(eglQueryString(state.display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context");
    if (!eglChooseConfig(state.display, config_wanted, &config, 1, &configs) || configs < 1) {
        if (!surfaceless)
            return false;
        config = nullptr;
    }
    const EGLint context_wanted[] = {
        EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    state.context = eglCreateContext(state.display, config, EGL_NO_CONTEXT, context_wanted);
    if (state.context == EGL_NO_CONTEXT)
        return false;
    if (!surfaceless) {
        const EGLint size[] = {EGL_WIDTH, 16, EGL_HEIGHT, 16, EGL_NONE};
        state.surface = eglCreatePbufferSurface(state.display, config, size);
        if (state.surface == EGL_NO_SURFACE)
            return false;
    }
    return eglMakeCurrent(state.display, state.surface, state.surface, state.context);
}

void release_context()
{
    if (state.display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(state.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (state.surface != EGL_NO_SURFACE)
        eglDestroySurface(state.display, state.surface);
    if (state.context != EGL_NO_CONTEXT)
        eglDestroyContext(state.display, state.context);
    eglTerminate(state.display);
    eglReleaseThread();
    state.display = EGL_NO_DISPLAY;
    state.ready = false;
}

void try_context()
{
    state.tried = true;
    if (!egl_library_present()) {
        report_missing("libEGL.so.1 cannot be loaded");
        return;
    }
    state.display = open_display();
    if (state.display == EGL_NO_DISPLAY) {
        report_missing("no EGL display");
        return;
    }
    if (!make_context() || epoxy_gl_version() < 33) {
        report_missing("no OpenGL 3.3 context");
        release_context();
        return;
    }
    // The context lives until the process ends: ending it at exit would unload the driver while its
    // own records still point into it.
    state.ready = true;
}

}  // namespace

bool gl_context_ready()
{
    if (state.forbidden) {
        report_missing("switched off");
        return false;
    }
    if (!state.tried)
        try_context();
    return state.ready;
}

bool gl_target_bind(int width, int height)
{
    if (!gl_context_ready() || width <= 0 || height <= 0)
        return false;
    if (!state.framebuffer) {
        glGenFramebuffers(1, &state.framebuffer);
        glGenRenderbuffers(1, &state.colour);
        glGenRenderbuffers(1, &state.depth);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, state.framebuffer);
    if (state.width != width || state.height != height) {
        glBindRenderbuffer(GL_RENDERBUFFER, state.colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, state.depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, state.colour);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, state.depth);
        state.width = width;
        state.height = height;
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error("gfx: the off-screen target of %dx%d cannot be made", width, height);
        state.width = state.height = 0;
        return false;
    }
    return true;
}

void gl_target_read(int width, int height, std::vector<uint8_t>& rgb)
{
    const size_t row = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> rgba(row * static_cast<size_t>(height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    // OpenGL's rows run from the bottom; the capture's from the top.
    for (int y = 0; y < height; ++y) {
        const uint8_t* from = rgba.data() + static_cast<size_t>(height - 1 - y) * row;
        uint8_t* to = rgb.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
        for (int x = 0; x < width; ++x) {
            to[x * 3] = from[x * 4];
            to[x * 3 + 1] = from[x * 4 + 1];
            to[x * 3 + 2] = from[x * 4 + 2];
        }
    }
}

void gl_context_forbid(bool forbidden)
{
    state.forbidden = forbidden;
    state.reported = false;
}
