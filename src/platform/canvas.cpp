#include "platform/canvas.h"
