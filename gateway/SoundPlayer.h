#pragma once
// Playing the two notification sounds without holding anything up. Tests put a recorder in
// its place; the default plays through QSoundEffect, which stays silent (and does not fail)
// on a machine with no sound device or a file that is missing.

#include <QHash>
#include <QString>

class QSoundEffect;

namespace Gateway {

class ISoundPlayer {
public:
    virtual ~ISoundPlayer() = default;
    // Starts playing the file and returns at once.
    virtual void Play(const QString &path) = 0;
};

class TSoundEffectPlayer final : public ISoundPlayer {
public:
    TSoundEffectPlayer();
    ~TSoundEffectPlayer() override;
    void Play(const QString &path) override;

private:
    QHash<QString, QSoundEffect *> m_effects; // one per file, loaded on first use
};

} // namespace Gateway
