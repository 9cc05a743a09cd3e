// Placeholder until the key-binding window lands.
#include "UnitOption.h"

void ShowOptionWindow() {}
