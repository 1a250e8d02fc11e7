// The platform layer: the only way the rest of the program reaches the machine.
//
// Every operation here dispatches to the current Backend (see backend.h): the real
// one (SDL2 window, our OpenGL renderer or SDL's renderers, OpenAL) or the headless
// one used by tests. Resources are integer handles; 0 always means "none", and
// drawing or playing none does nothing.
//
// Texts are byte strings: one byte per character (Latin-1), as the program's text
// files store them.
//
// Each module has a header of its own (system.h, video.h, render.h, audio.h,
// files.h, time.h); this one gathers them.
#pragma once

#include "base/maths.h"
#include "base/text.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/render.h"
#include "platform/audio.h"
#include "platform/files.h"
#include "platform/time.h"
