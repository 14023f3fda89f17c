#include "services/command_line.h"

#include <QFileInfo>


namespace vx {

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    QStringList rest;
    bool optionsEnded = false;
    for (qsizetype index = 0; index < arguments.size(); ++index) {
        const QString& arg = arguments.at(index);
        if (!optionsEnded && arg.startsWith('-')) {
            if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--version") {
                line.showVersion = true;
            } else if (arg == "--help" || arg == "-h") {
                line.showHelp = true;
            } else if (arg == "--no-sound") {
                line.noSound = true;
            } else if (arg == "--print-keymap") {
                line.printKeymap = true;
            } else if (arg == "--info") {
                line.showInfo = true;
            } else if (arg == "--analyse") {
                line.analyse = true;
            } else if (arg == "--render-mix") {
                line.renderMix = true;
            } else if (arg == "--seconds") {
                bool number = false;
                line.seconds = index + 1 < arguments.size() ? arguments.at(index + 1).toDouble(&number) : 0;
                if (!number || line.seconds <= 0) {
                    if (line.error.isEmpty()) line.error = "--seconds needs a number of seconds above 0";
                } else {
                    ++index;
                }
            } else if (line.error.isEmpty()) {
                line.error = "unknown option " + arg;
            }
            continue;
        }
        rest << arg;
        line.fileIndexes << int(index);
    }
    if (line.renderMix && rest.size() != 2 && line.error.isEmpty())
        line.error = "--render-mix needs a playlist and the file to write";
    line.files = rest;
    line.argument = rest.join(' ');
    return line;
}

QString musicFileFrom(const QString& argument) {
    const QString file = argument.trimmed();
    const QString ending = file.right(4).toUpper();
    const bool music = ending == ".MP3" || ending == ".WAV" || ending == ".WMA" || ending == ".ASF";
    return music ? file : QString();
}

QString usageText() {
    return QStringLiteral(
        "Usage: velumix [options] [music files and playlists...]\n"
        "\n"
        "Two-deck DJ mixing for music files.\n"
        "\n"
        "Options:\n"
        "  --no-sound      play through a silent output (no sound card needed)\n"
        "  --info FILE...  print the deck and playlist texts of music files and playlists as JSON lines\n"
        "  --analyse FILE...\n"
        "                  print the tempo, beat grid, loudness and audible part of music files as JSON lines\n"
        "  --render-mix PLAYLIST OUT [--seconds N]\n"
        "                  mix the playlist once through as Auto DJ would, into OUT (.wav or .flac),\n"
        "                  with a cue sheet beside it; at most N seconds of it\n"
        "  --print-keymap  print the table of the default keys (HTML, as in the manual) and end\n"
        "  --version       print the version and end\n"
        "  -h, --help      print this help and end\n"
        "\n"
        "A music file (.mp3, .wav, .wma, .asf) is added to the playlist and played on the left deck;\n"
        "a playlist file is opened as the playlist. Without one the last playlist opens again.\n"
        "Further music files and playlists are added to the playlist. While Velumix runs, starting it\n"
        "again hands the files to the running program's playlist.\n");
}

}  // namespace vx
