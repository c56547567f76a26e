#pragma once

#include <QString>

// Process-wide settings, read everywhere and written only by the settings store. The values
// here are the built-in ones, in force until "settings.ini" is read.
extern QString SETTINGS_DEF_PROJECTOR;
extern QString SETTINGS_DEF_RESIN;
extern bool SETTINGS_SOUNDS_ON;
extern bool SETTINGS_TOOLTIPS_ON;
extern QString SETTINGS_LANGUAGE;
extern float SETTINGS_GRID_FACTOR;
extern int SETTINGS_PRE_TIME;
extern int SETTINGS_WAIT_TIME;
extern int SETTINGS_POST_TIME;
extern int SETTINGS_BASE_TIME;
