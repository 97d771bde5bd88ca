#pragma once
// Recovery of the recordings a crash, a power cut or a full disk cut short: the temporary
// pairs left in the temporary folder become movies at the next start, one after another, in
// the background.
//
// For each pair not locked by a live recording:
//   - its sidecar says ffmpeg had finished: the finished "<movie>.part" takes its name;
//   - else the picture is cut after its last complete frame, the sound's sizes are mended,
//     and the pair is joined under the name and format the user chose (the sidecar), or, for
//     a pair without one, as Vistrela_<stamp>.avi in the save folder; never over an existing
//     file (" (2)"). A pair whose picture is empty or unreadable gives a movie of its sound;
//   - a pair that yields nothing, or whose join fails, goes to "broken/" in the temporary
//     folder with one notice naming it, and is never tried again.
//
// Threads: the user-interface thread (signals arrive on it).

#include <QObject>
#include <QString>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "recording/movie_join.h"
#include "recording/recording_plan.h"

class QLockFile;

namespace vistrela {

class Prompts;

class LeftoverRecovery : public QObject {
    Q_OBJECT
public:
    // `prompts` (not owned) shows the notice about a broken pair; `tempFolder` ends in '/'.
    LeftoverRecovery(Prompts& prompts, std::string tempFolder, QObject* parent = nullptr);
    ~LeftoverRecovery() override;  // waits for a running join

    // Queues the leftovers now in the temporary folder (`busy`: picture files of this
    // process's own recordings) and starts. Returns how many were found.
    int Recover(const std::string& saveFolder, const std::vector<std::string>& busy);
    bool running() const { return !queue_.empty() || running_; }
    // Blocks until every queued recovery has ended.
    void waitForEnd();

    // Where pairs that yield nothing go.
    std::string brokenFolder() const { return tempFolder_ + "broken/"; }

signals:
    // A one-line status for the title.
    void message(const QString& text);

private:
    void startNext();
    // Starts the recovery of `next` (locked); false when it ended at once.
    bool start(const LeftoverRecording& next);
    void joined(bool ok, const QString& message);
    void moveToBroken(const LeftoverRecording& pair);
    void removePair(const LeftoverRecording& pair);

    Prompts& prompts_;
    std::string tempFolder_;
    std::string saveFolder_;
    MovieJoin join_;
    std::deque<LeftoverRecording> queue_;
    LeftoverRecording current_;
    std::unique_ptr<QLockFile> lock_;
    bool running_ = false;
};

}  // namespace vistrela
