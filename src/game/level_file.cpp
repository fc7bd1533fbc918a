#include "game/level_file.h"
