#include "deck/deck_context.h"

namespace vx {

namespace {
bool told(const std::function<void()>& hook) {
    if (hook) hook();
    return true;
}
}  // namespace

bool DeckContext::isPlaying() {
    return hasStream() && transport.isStreamPlaying(state.streamHandle);
}

std::int64_t DeckContext::position() {
    return hasStream() ? transport.getStreamPosition(state.streamHandle, state.streamKind) : 0;
}

bool DeckContext::seek(std::int64_t bytes) {
    return hasStream() && transport.setStreamPosition(state.streamHandle, state.streamKind, bytes);
}

bool DeckContext::playStream() {
    return hasStream() && transport.playStream(state.streamHandle, state.streamKind) && told(hooks.playStarted);
}

bool DeckContext::resumeStream() {
    return hasStream() && transport.resumeStream(state.streamHandle, state.streamKind) && told(hooks.playStarted);
}

int DeckContext::frequency() {
    int f = 0;
    if (!hasStream() || !library.attributes(state.streamHandle, &f, nullptr, nullptr)) return 0;
    return f;
}

void DeckContext::applyLoopRegion() {
    if (!hasStream()) return;
    const std::int64_t start = state.savedLoopMode ? state.savedLoopStart : state.loopStart;
    if (state.loopActive && state.loopEnd > start)
        library.setLoop(state.streamHandle, start, state.loopEnd);
    else
        library.setLoop(state.streamHandle, 0, 0);
}

void DeckContext::runVolumeTimer() {
    if (hooks.runVolumeTimer) hooks.runVolumeTimer();
}

void DeckContext::throwError(const QString& message) {
    if (hooks.throwError) {
        hooks.throwError(message);
        return;
    }
    dialogs.message(message + QStringLiteral("\r\n\r\nError Code : ") + QString::number(library.lastError()),
                    QStringLiteral("Error"), Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

}  // namespace vx
