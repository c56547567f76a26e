#include "gui/soundplayer.h"

#include <QSound>

#include "base/settingsvalues.h"

void SoundPlayer::play(Sound sound)
{
    if (SETTINGS_SOUNDS_ON)
        playResource(resourcePath(sound));
}

QString SoundPlayer::resourcePath(Sound sound)
{
    switch (sound) {
    case Sound::Success:
        return QStringLiteral(":/sounds/success.wav");
    case Sound::Error:
        return QStringLiteral(":/sounds/error.wav");
    case Sound::Wait:
        return QStringLiteral(":/sounds/wait.wav");
    }
    return QString();
}

void SystemSoundPlayer::playResource(const QString &resourcePath)
{
    QSound::play(resourcePath);
}
