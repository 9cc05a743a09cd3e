// The key-binding window, shown modally from the main window.
#pragma once

void ShowOptionWindow();
