#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

namespace vx {

// One running program per user, so that two consoles never fight for the sound card. The first start
// listens on a local socket in the user's runtime folder; a later start hands its files to it and ends.
// A socket left by a program that died answers nobody: it is removed and taken over. Claiming is done
// under a lock file beside the socket, so two starts at the same moment cannot both become the first.
// UI thread only (the client side also runs on any thread that has no event loop: it only blocks).
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    enum class Role {
        First,       // this program listens now: files of later starts arrive as filesReceived
        HandedOver,  // a running program took the files: end with success
        NoAnswer,    // a program listens but did not take the files (see error()): end with failure
        Alone,       // no socket could be made or reached (see error()); run without one
    };

    // `socketPath`: the socket's full path.
    explicit SingleInstance(QString socketPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    // <runtime folder>/velumix-<user id>: XDG_RUNTIME_DIR, or the fallback Qt makes for it.
    static QString standardSocketPath();

    // Hands `files` (made absolute here, since the running program has another working folder) to the
    // running program, or becomes the running program. `timeoutMs` bounds each wait for the other side.
    Role claim(const QStringList& files, int timeoutMs = 10000);
    const QString& error() const { return error_; }

  signals:
    // Files from a later start, absolute, in its order; empty when it was started without files.
    void filesReceived(const QStringList& files);

  private:
    enum class HandOver { Done, NoOne, NoAnswer };
    HandOver handOver(const QStringList& files, int timeoutMs);
    void accept();

    QString path_;
    QString error_;
    QLocalServer server_;
};

}  // namespace vx
