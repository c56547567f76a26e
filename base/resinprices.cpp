#include "base/resinprices.h"

const float RESIN_DENSITY = 1.1f;
float COSTO_FTD_SB = 45.0f;
float COSTO_FTD_IB = 55.0f;
float COSTO_FTD_CB = 65.0f;
float COSTO_PTL_HS = 80.0f;
float COSTO_PTL_CB = 100.0f;
