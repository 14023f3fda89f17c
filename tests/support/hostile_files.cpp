#include "support/hostile_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

namespace vx::test {

const std::vector<HostileKind>& hostileKinds() {
    static const std::vector<HostileKind> kinds = {{Hostile::Fifo, "a FIFO"},
                                                   {Hostile::LinkToDevZero, "a link to /dev/zero"},
                                                   {Hostile::Folder, "a folder"},
                                                   {Hostile::LinkLoop, "a symbolic link loop"}};
    return kinds;
}

bool makeHostile(Hostile kind, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
        case Hostile::Fifo:
            return ::mkfifo(name.constData(), 0600) == 0;
        case Hostile::LinkToDevZero:
            return ::symlink("/dev/zero", name.constData()) == 0;
        case Hostile::Folder:
            return ::mkdir(name.constData(), 0700) == 0;
        case Hostile::LinkLoop:
            return ::symlink(name.constData(), name.constData()) == 0;
    }
    return false;
}

}  // namespace vx::test
