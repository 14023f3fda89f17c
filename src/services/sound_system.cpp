#include "services/sound_system.h"

#include <array>

#include "services/dialogs.h"

namespace vx {

namespace {
// Indexed by code + 1; codes -1..38.
const std::array<const char*, 40> kErrorTexts = {
    "Some Other Mystery Error",
    "All is OK",
    "Memory Error",
    "Can't Open the File",
    "Can't Find a Free Sound Driver",
    "The Sample Buffer Was Lost - Please Report This!",
    "Invalid Handle",
    "Unsupported Format",
    "Invalid Playback Position",
    "BASS_Init Has Not Been Successfully Called",
    "BASS_Start Has Not Been Successfully Called",
    "Can't Initialize CD",
    "BASS_CDInit Has Not Been Successfully Called",
    "No CD in drive",
    "Can't Play the Selected CD Track",
    "Already Initialized",
    "CD Has No Volume Control",
    "Not Paused",
    "Not An Audio Track",
    "Can't Get a Free Channel",
    "An Illegal Type Was Specified",
    "An Illegal Parameter Was Specified",
    "No 3D Support",
    "No EAX Support",
    "Illegal Device Number",
    "Not Playing",
    "Illegal Sample Rate",
    "A3D.DLL is Not Installed",
    "The Stream is Not a File Stream (WAV/MP3)",
    "",  // 28
    "No Hardware Voices Available",
    "",  // 30
    "The MOD music has no sequence data",
    "No Internet connection could be opened",
    "Couldn't create the file",
    "Effects are not enabled",
    "The channel is playing",
    "",  // 36
    "The requested data is not available",
    "The channel is a 'decoding channel'",
};
}  // namespace

QString ErrorText(int code) {
    if (code < -1 || code > 38) return {};
    return QString::fromLatin1(kErrorTexts[static_cast<std::size_t>(code + 1)]);
}

void ThrowError(audio::SoundLibrary& library, Dialogs& dialogs, const QString& message) {
    const int code = library.lastError();
    dialogs.message(message + "\r\n" + "\r\n" + "Error Code : " + QString::number(code), "Error",
                    Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

SoundSystem::SoundSystem(audio::SoundLibrary& library, Dialogs& dialogs)
    : library_(library), dialogs_(dialogs) {}

void SoundSystem::ThrowError(const QString& message) {
    vx::ThrowError(library_, dialogs_, message);
    if (keyRelease_) {
        keyRelease_(kKeyControl, 0);
        keyRelease_(kKeyAlt, 0);
    }
}

bool SoundSystem::init_BASS(int device, std::uint32_t frequency) {
    if (!library_.init(device, frequency)) {
        ThrowError("Can't initialize digital sound system. " + ErrorText(library_.lastError()));
        return false;
    }
    if (!library_.start()) {
        ThrowError("Can't start digital output. " + ErrorText(library_.lastError()));
        return false;
    }
    return true;
}

QString SoundSystem::dropoutText() const {
    const std::uint64_t n = library_.dropouts();
    if (n == 0) return "The sound has played without a break since start";
    if (n == 1) return "The sound broke up once since start";
    return QString("The sound broke up %1 times since start").arg(n);
}

void SoundSystem::terminate_BASS(audio::Handle leftStream, audio::Handle rightStream) {
    library_.stop();
    library_.eqRemove(leftStream);
    library_.eqRemove(rightStream);
    library_.eqFree();
    library_.freeStream(leftStream);
    library_.freeStream(rightStream);
    library_.shutdown();
}

}  // namespace vx
