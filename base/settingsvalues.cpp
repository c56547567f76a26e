#include "base/settingsvalues.h"

QString SETTINGS_DEF_PROJECTOR = QStringLiteral("Generic Custom");
QString SETTINGS_DEF_RESIN = QStringLiteral("FunToDo Standard Blend Black");
bool SETTINGS_SOUNDS_ON = false;
bool SETTINGS_TOOLTIPS_ON = false;
QString SETTINGS_LANGUAGE = QStringLiteral("English");
float SETTINGS_GRID_FACTOR = 4.0f;
int SETTINGS_PRE_TIME = 500;
int SETTINGS_WAIT_TIME = 6000;
int SETTINGS_POST_TIME = 1500;
int SETTINGS_BASE_TIME = 6000;
