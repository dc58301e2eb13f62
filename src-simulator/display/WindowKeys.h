// The codes that pass between the window's event reader (Windex::checkEvent), its dispatcher
// (anyWindowEvents) and the key operations (FunctionKeyOperate, CursorKeyOperate).
#pragma once

// What checkEvent reports in eventType.
enum WindowEventKind : int {
  noWindowEvent = 0,      // nothing, or an event consumed by the reader
  characterEvent = 1,     // keyChar: the one character the key gave (signed)
  functionKeyEvent = 2,   // keyChar: the function key's number, 1 ... 35
  cursorKeyEvent = 3,     // keyChar: keysym - cursorKeyOrigin
  buttonPressEvent = 8,   // keyChar: button << 24 | x << 12 | y
  buttonReleaseEvent = 9, // the same packing
  pointerMotionEvent = 10 // keyChar: x << 12 | y (button 1 held)
};

// Keysyms of function keys count from F1 = functionKeyOrigin + 1; the cursor block spans
// cursorBlockFirst ... cursorBlockLast and counts from Left = cursorKeyOrigin.
constexpr unsigned long functionKeyOrigin = 0xFFBD;
constexpr unsigned long cursorBlockFirst = 0xFF50;
constexpr unsigned long cursorBlockLast = 0xFF5F;
constexpr int cursorKeyOrigin = 0xFF51;

// Position fields of a pointer event: 12 bits each, the button above them.
constexpr int pointerFieldBits = 12;
constexpr int pointerFieldMask = 0xFFF;
constexpr int pointerButtonShift = 24;

// Characters at or below this code are control characters.
constexpr int lastControlCharacter = 31;
constexpr int controlA = 1, controlL = 12, controlM = 13, controlN = 14, controlZ = 26;

// Codes of FunctionKeyOperate: F1 ... F10 and the level keys; the -F string's "H", "U", "D" and
// "E" (code = character - '0') act as the level keys too.
enum FunctionKeyCode : int {
  keyRestart = 1,
  keyInterconnect = 2,
  keyLabelGates = 3,
  keyComponentLeads = 4,
  keyLabelLines = 5,
  keyDisplayTime = 6,
  keyConnectMuxOnly = 7,
  keySuperProbes = 8,
  keyWindowingMode = 9,
  keyExit = 10,
  keyLeastDetail = 27,     // F27, Control-A
  keyLessDetail = 29,      // F29, Control-N
  keyRedraw = 31,          // F31, Control-L
  keyMostDetail = 33,      // F33, Control-Z
  keyMoreDetail = 35,      // F35, Control-M
  homeLeastDetail = 'H' - '0',
  pageUpLessDetail = 'U' - '0',
  pageDownMoreDetail = 'D' - '0',
  endMostDetail = 'E' - '0'
};

// Codes of CursorKeyOperate: the cursor keys, and the digits of -K.
enum CursorKeyCode : int { keySlower = 0, keyFullSpeed = 1, keyFaster = 2, keyHalt = 3 };
