#include "shared_state.h"

QGraphicsScene* JBCanvas = nullptr;
int xang = 0;
int yang = 0;
