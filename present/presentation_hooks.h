#pragma once
// What the frame engine hands the presentation parts so that they can give controls the pointers
// it chooses.

#include <functional>

namespace tv {

class Control;

// Gives a control the game's default pointer (the frame engine knows which it is).
using ApplyPointer = std::function<void(Control&)>;
// Gives a hotspot's control the pointer of hotspot `k`.
using ApplyHotspotPointer = std::function<void(Control&, int k)>;

} // namespace tv
