#pragma once
// OpenGL ES 1.1 for the engine. The core entry points come from the GL ES
// library; extension entry points (framebuffer objects, point sizes, ...) are
// loaded from the current context by loadGLExtensions() and stay null where
// the GL does not offer them.
// Failures: none; an entry point the GL does not offer stays null.

#include <GLES/gl.h>
#include <GLES/glext.h>

#include <string_view>

extern PFNGLGENFRAMEBUFFERSOESPROC glGenFramebuffersOES;
extern PFNGLDELETEFRAMEBUFFERSOESPROC glDeleteFramebuffersOES;
extern PFNGLBINDFRAMEBUFFEROESPROC glBindFramebufferOES;
extern PFNGLFRAMEBUFFERRENDERBUFFEROESPROC glFramebufferRenderbufferOES;
extern PFNGLFRAMEBUFFERTEXTURE2DOESPROC glFramebufferTexture2DOES;
extern PFNGLCHECKFRAMEBUFFERSTATUSOESPROC glCheckFramebufferStatusOES;
extern PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVOESPROC glGetFramebufferAttachmentParameterivOES;
extern PFNGLGENRENDERBUFFERSOESPROC glGenRenderbuffersOES;
extern PFNGLDELETERENDERBUFFERSOESPROC glDeleteRenderbuffersOES;
extern PFNGLBINDRENDERBUFFEROESPROC glBindRenderbufferOES;
extern PFNGLRENDERBUFFERSTORAGEOESPROC glRenderbufferStorageOES;
extern PFNGLGETRENDERBUFFERPARAMETERIVOESPROC glGetRenderbufferParameterivOES;

// glPointSizePointerOES is core in GL ES 1.1 and comes from the library.

namespace platform {

// Loads the extension entry points of the current context (idempotent).
void loadGLExtensions();
// Whether the current context lists `name` among its extensions.
bool hasGLExtension(std::string_view name);
// The framebuffer-object entry points are all present.
bool hasFramebufferObjects();

} // namespace platform
