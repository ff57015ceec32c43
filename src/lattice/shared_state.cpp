#include "shared_state.h"

Canvas* JBCanvas = nullptr;
int xang = 0;
int yang = 0;
