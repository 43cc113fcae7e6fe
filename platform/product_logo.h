#pragma once
// The authoring product's small logo, which the welcome window shows in a corner, drawn here
// rather than shipped as files.

#include "platform/picture.h"

namespace tv {

// `ink` 0 is light, for dark grounds, 1 dark, for light grounds. `mirrored` puts the emblem on
// the right of the name instead of the left, for a logo in a right-hand corner.
Picture productLogo(int ink, bool mirrored);

} // namespace tv
