#include "platform/GL.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <sstream>
#include <string>

PFNGLGENFRAMEBUFFERSOESPROC glGenFramebuffersOES = nullptr;
PFNGLDELETEFRAMEBUFFERSOESPROC glDeleteFramebuffersOES = nullptr;
PFNGLBINDFRAMEBUFFEROESPROC glBindFramebufferOES = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFEROESPROC glFramebufferRenderbufferOES = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DOESPROC glFramebufferTexture2DOES = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSOESPROC glCheckFramebufferStatusOES = nullptr;
PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVOESPROC glGetFramebufferAttachmentParameterivOES = nullptr;
PFNGLGENRENDERBUFFERSOESPROC glGenRenderbuffersOES = nullptr;
PFNGLDELETERENDERBUFFERSOESPROC glDeleteRenderbuffersOES = nullptr;
PFNGLBINDRENDERBUFFEROESPROC glBindRenderbufferOES = nullptr;
PFNGLRENDERBUFFERSTORAGEOESPROC glRenderbufferStorageOES = nullptr;
PFNGLGETRENDERBUFFERPARAMETERIVOESPROC glGetRenderbufferParameterivOES = nullptr;

namespace platform {

bool hasGLExtension(std::string_view name) {
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (!all) return false;
    std::istringstream words(all);
    std::string word;
    while (words >> word)
        if (word == name) return true;
    return false;
}

namespace {
template <class F> void load(F& entry, const char* name, bool offered) {
    entry = offered ? reinterpret_cast<F>(SDL_GL_GetProcAddress(name)) : nullptr;
}
} // namespace

void loadGLExtensions() {
    bool fbo = hasGLExtension("GL_OES_framebuffer_object");
    load(glGenFramebuffersOES, "glGenFramebuffersOES", fbo);
    load(glDeleteFramebuffersOES, "glDeleteFramebuffersOES", fbo);
    load(glBindFramebufferOES, "glBindFramebufferOES", fbo);
    load(glFramebufferRenderbufferOES, "glFramebufferRenderbufferOES", fbo);
    load(glFramebufferTexture2DOES, "glFramebufferTexture2DOES", fbo);
    load(glCheckFramebufferStatusOES, "glCheckFramebufferStatusOES", fbo);
    load(glGetFramebufferAttachmentParameterivOES, "glGetFramebufferAttachmentParameterivOES", fbo);
    load(glGenRenderbuffersOES, "glGenRenderbuffersOES", fbo);
    load(glDeleteRenderbuffersOES, "glDeleteRenderbuffersOES", fbo);
    load(glBindRenderbufferOES, "glBindRenderbufferOES", fbo);
    load(glRenderbufferStorageOES, "glRenderbufferStorageOES", fbo);
    load(glGetRenderbufferParameterivOES, "glGetRenderbufferParameterivOES", fbo);
}

bool hasFramebufferObjects() {
    return glGenFramebuffersOES && glDeleteFramebuffersOES && glBindFramebufferOES &&
           glFramebufferRenderbufferOES && glFramebufferTexture2DOES && glCheckFramebufferStatusOES &&
           glGenRenderbuffersOES && glDeleteRenderbuffersOES && glBindRenderbufferOES &&
           glRenderbufferStorageOES;
}

} // namespace platform
