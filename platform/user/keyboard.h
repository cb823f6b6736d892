// The keyboard state held by the layer: which virtual keys are down. Injected input sets it;
// translation into characters reads Shift and Control from it.
#pragma once

namespace kwplatform {

bool IsKeyDown(int virtualKey);
void SetKeyDown(int virtualKey, bool down);

}  // namespace kwplatform
