// Private to the SDL backend: translation of SDL input into the program's codes
// (Windows virtual-key numbers, hat positions, Latin-1 characters). Kept apart as
// plain functions so that tests can check the tables without a display.
#pragma once

#include <SDL.h>

#include <deque>

namespace plat::sdlinput {

// The virtual-key code of a key, 0 for keys the program has no code for.
// Letters follow the layout (the key that types Z is 90, as on Windows); every
// other key is taken by its physical position, so punctuation keeps the codes of a
// US keyboard whatever layout is active.
inline int VirtualKey(SDL_Keycode sym, SDL_Scancode code) {
  if (sym >= SDLK_a && sym <= SDLK_z) return 'A' + (sym - SDLK_a);
  if (code >= SDL_SCANCODE_A && code <= SDL_SCANCODE_Z) return 'A' + (code - SDL_SCANCODE_A);
  if (code >= SDL_SCANCODE_1 && code <= SDL_SCANCODE_9) return '1' + (code - SDL_SCANCODE_1);
  if (code >= SDL_SCANCODE_F1 && code <= SDL_SCANCODE_F12) return 112 + (code - SDL_SCANCODE_F1);
  if (code >= SDL_SCANCODE_F13 && code <= SDL_SCANCODE_F24) return 124 + (code - SDL_SCANCODE_F13);
  if (code >= SDL_SCANCODE_KP_1 && code <= SDL_SCANCODE_KP_9) return 97 + (code - SDL_SCANCODE_KP_1);
  switch (code) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_BACKSPACE: return 8;
    case SDL_SCANCODE_TAB: return 9;
    case SDL_SCANCODE_CLEAR: return 12;
    case SDL_SCANCODE_RETURN: return 13;
    case SDL_SCANCODE_KP_ENTER: return 13;
    case SDL_SCANCODE_PAUSE: return 19;
    case SDL_SCANCODE_CAPSLOCK: return 20;
    case SDL_SCANCODE_ESCAPE: return 27;
    case SDL_SCANCODE_SPACE: return 32;
    case SDL_SCANCODE_PAGEUP: return 33;
    case SDL_SCANCODE_PAGEDOWN: return 34;
    case SDL_SCANCODE_END: return 35;
    case SDL_SCANCODE_HOME: return 36;
    case SDL_SCANCODE_LEFT: return 37;
    case SDL_SCANCODE_UP: return 38;
    case SDL_SCANCODE_RIGHT: return 39;
    case SDL_SCANCODE_DOWN: return 40;
    case SDL_SCANCODE_SELECT: return 41;
    case SDL_SCANCODE_EXECUTE: return 43;
    case SDL_SCANCODE_PRINTSCREEN: return 44;
    case SDL_SCANCODE_INSERT: return 45;
    case SDL_SCANCODE_DELETE: return 46;
    case SDL_SCANCODE_LGUI: return 91;
    case SDL_SCANCODE_RGUI: return 92;
    case SDL_SCANCODE_APPLICATION: return 93;
    case SDL_SCANCODE_KP_0: return 96;
    case SDL_SCANCODE_KP_MULTIPLY: return 106;
    case SDL_SCANCODE_KP_PLUS: return 107;
    case SDL_SCANCODE_KP_MINUS: return 109;
    case SDL_SCANCODE_KP_PERIOD: return 110;
    case SDL_SCANCODE_KP_DIVIDE: return 111;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 144;
    case SDL_SCANCODE_SCROLLLOCK: return 145;
    case SDL_SCANCODE_LSHIFT: return 160;
    case SDL_SCANCODE_RSHIFT: return 161;
    case SDL_SCANCODE_LCTRL: return 162;
    case SDL_SCANCODE_RCTRL: return 163;
    case SDL_SCANCODE_LALT: return 164;
    case SDL_SCANCODE_RALT: return 165;
    case SDL_SCANCODE_MUTE: return 173;
    case SDL_SCANCODE_VOLUMEDOWN: return 174;
    case SDL_SCANCODE_VOLUMEUP: return 175;
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    // The key names of the binding screen call 192 the quote key and 223 the
    // backquote key; map the keys so that their names match their labels.
    case SDL_SCANCODE_APOSTROPHE: return 192;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_BACKSLASH: return 220;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_NONUSHASH: return 222;
    case SDL_SCANCODE_GRAVE: return 223;
    case SDL_SCANCODE_NONUSBACKSLASH: return 226;
    default: return 0;
  }
}

// The character a key types by itself (Backspace, Tab, Enter, Escape), or 0. The
// text-input event never carries these, but text entry wants them in the queue.
inline int ControlCharacter(int virtualKey) {
  switch (virtualKey) {
    case 8: case 9: case 13: case 27: return virtualKey;
    default: return 0;
  }
}

// 0 up, then clockwise in eighths; -1 centred.
inline double HatPosition(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP: return 0.0;
    case SDL_HAT_RIGHTUP: return 0.125;
    case SDL_HAT_RIGHT: return 0.25;
    case SDL_HAT_RIGHTDOWN: return 0.375;
    case SDL_HAT_DOWN: return 0.5;
    case SDL_HAT_LEFTDOWN: return 0.625;
    case SDL_HAT_LEFT: return 0.75;
    case SDL_HAT_LEFTUP: return 0.875;
    default: return -1.0;
  }
}

// SDL axis reading (-32768..32767) to -1..1.
inline double AxisValue(Sint16 raw) {
  double v = raw / 32767.0;
  return v < -1.0 ? -1.0 : v;
}

// Appends the characters of a UTF-8 text to the queue. Texts are Latin-1 bytes, so
// characters above 255 are dropped; a malformed sequence is skipped byte by byte.
inline void AppendUtf8(const char* text, std::deque<int>& out) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  while (*p) {
    unsigned c = *p;
    int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0) {
      ++p;
      continue;
    }
    unsigned code = extra == 0 ? c : c & (0x3F >> extra);
    int i = 1;
    for (; i <= extra; ++i) {
      if ((p[i] & 0xC0) != 0x80) break;
      code = (code << 6) | (p[i] & 0x3F);
    }
    if (i <= extra) {  // truncated sequence: drop its lead byte and go on
      ++p;
      continue;
    }
    p += extra + 1;
    if (code <= 255) out.push_back(static_cast<int>(code));
  }
}

}  // namespace plat::sdlinput
