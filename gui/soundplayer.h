#pragma once

#include <QString>

// Plays the application's three sounds when the sounds setting is on. The real player uses the
// sound card; tests use one of their own, since on machines without audio the sound system can
// hang at exit.
class SoundPlayer
{
public:
    enum class Sound {
        Success,
        Error,
        Wait,
    };

    virtual ~SoundPlayer() = default;

    // Plays the sound only when SETTINGS_SOUNDS_ON is true.
    void play(Sound sound);

    static QString resourcePath(Sound sound);

protected:
    virtual void playResource(const QString &resourcePath) = 0;
};

class SystemSoundPlayer : public SoundPlayer
{
protected:
    void playResource(const QString &resourcePath) override;
};
