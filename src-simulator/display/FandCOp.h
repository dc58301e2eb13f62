// Function-key and cursor-key operations, from the keyboard or the -F / -K start-up strings.
#pragma once

void FunctionKeyOperate(int keyChar);
void CursorKeyOperate(int keyChar);
