#include "components/components.h"
