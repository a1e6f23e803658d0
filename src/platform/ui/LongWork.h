#pragma once
// Long work on the user-interface thread that lets messages through (search, picture lists,
// import, export). Letting messages through lets the same command start again and lets the
// window close under the work: a LongWork admits one run at a time, lets messages through at
// most every `intervalMs`, and carries a stop request that the window's close sets. The program's
// quit request (qb::requestQuit, every road of ending goes through it) stops every run and
// lets none start.

#include <QElapsedTimer>

#include <optional>

namespace qb {

class LongWork {
  public:
    class Run {
      public:
        ~Run();
        Run(Run&& other) noexcept;
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;
        Run& operator=(Run&&) = delete;

        // Lets pending messages through when `intervalMs` have passed since the last time
        // (always the first time). Returns false once a stop was requested: the caller ends.
        bool letMessagesThrough();
        // Lets pending messages through now, whatever the interval.
        bool letMessagesThroughNow();
        // True once the window or the program asked the run to stop.
        bool stopRequested() const;

      private:
        friend class LongWork;
        explicit Run(LongWork* owner);
        LongWork* owner_;
    };

    explicit LongWork(int intervalMs = 30);

    // A run, or nullopt when one is already running (the command then does nothing).
    std::optional<Run> start();
    bool running() const { return running_; }

    // Asks the running run (if any) to stop at its next check.
    void requestStop();

  private:
    int intervalMs_;
    bool running_ = false;
    bool stop_ = false;
    QElapsedTimer sinceMessages_;
};

}  // namespace qb
