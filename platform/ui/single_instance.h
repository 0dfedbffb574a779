#pragma once

// One running program per program folder. The first start holds a lock on a file
// in the folder for as long as its process lives (the kernel drops it however the
// process ends, so a crashed instance never blocks the next start) and listens on
// a local socket named after the folder. A later start with the same folder asks
// that instance to bring its window to the front and ends.

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace snapwire::ui {

class SingleInstance : public QObject {
  public:
    // The folder's instance, or nullptr when another process holds the folder; that
    // one has then been asked to come to the front.
    static std::unique_ptr<SingleInstance> Claim(const QString& folder);
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Runs `comeToFront` for every request from now on, and at once for those that
    // came while the program was starting.
    void AnswerRequests(std::function<void()> comeToFront);
    // Requests are no longer answered (the program is ending); the lock stays.
    void StopAnswering();

  private:
    SingleInstance(int lockFd, const QString& socketName);
    void AnswerPending();

    int lockFd_ = -1;
    QLocalServer server_;
    std::function<void()> comeToFront_;
};

}  // namespace snapwire::ui
