#pragma once

#include <QString>

// The built-in numbers, also in force for a stored value that is not usable (not a number, a
// negative time, a scale that is not a positive finite number).
inline constexpr float SETTINGS_BUILTIN_GRID_FACTOR = 4.0f;
inline constexpr int SETTINGS_BUILTIN_PRE_TIME = 500;
inline constexpr int SETTINGS_BUILTIN_WAIT_TIME = 6000;
inline constexpr int SETTINGS_BUILTIN_POST_TIME = 1500;
inline constexpr int SETTINGS_BUILTIN_BASE_TIME = 6000;

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
