#include "SoundPlayer.h"

#include <QSoundEffect>
#include <QUrl>

namespace Gateway {

TSoundEffectPlayer::TSoundEffectPlayer() = default;

TSoundEffectPlayer::~TSoundEffectPlayer()
{
    qDeleteAll(m_effects);
}

void TSoundEffectPlayer::Play(const QString &path)
{
    QSoundEffect *&effect = m_effects[path];
    if (!effect) {
        effect = new QSoundEffect;
        effect->setSource(QUrl::fromLocalFile(path));
    }
    effect->play(); // played once loaded when the file is still being read
}

} // namespace Gateway
