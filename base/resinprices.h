#pragma once

// The resin's density in g/cm³, and the price per kilogram, in euro, of each resin family the
// cost figures know. The prices are overwritten from the resin database when the model page
// fills its resin list.
extern const float RESIN_DENSITY;
extern float COSTO_FTD_SB;
extern float COSTO_FTD_IB;
extern float COSTO_FTD_CB;
extern float COSTO_PTL_HS;
extern float COSTO_PTL_CB;
