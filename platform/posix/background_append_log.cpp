#include "platform/posix/background_append_log.h"

#include <unistd.h>

#include <utility>

#include "platform/posix/append_file.h"

namespace pump::posix {
namespace {

// The most one write() carries: a long outage's backlog goes out in pieces.
constexpr std::size_t kBatchBytes = std::size_t{64} << 10;

}  // namespace

BackgroundAppendLog::BackgroundAppendLog(BackgroundLogOptions options, AppendLogListener listener)
    : options_(std::move(options)), listener_(std::move(listener)), thread_([this] { run(); }) {}

BackgroundAppendLog::~BackgroundAppendLog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
  closeFile();
}

void BackgroundAppendLog::startFile(std::string fileName, std::string header) {
  enqueue({Item::Kind::Start, std::move(fileName), std::move(header)});
}

void BackgroundAppendLog::append(std::string line) {
  enqueue({Item::Kind::Line, std::move(line), {}});
}

void BackgroundAppendLog::endFile() { enqueue({Item::Kind::End, {}, {}}); }

void BackgroundAppendLog::whenWritten(std::function<void(const std::string& path)> then) {
  enqueue({Item::Kind::Mark, {}, {}, std::move(then)});
}

void BackgroundAppendLog::enqueue(Item item) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    if (item.kind == Item::Kind::Line) {
      if (waitingBytes_ + item.text.size() > options_.maxWaitingBytes) {
        ++dropped_;
        return;
      }
      waitingBytes_ += item.text.size();
    }
    incoming_.push_back(std::move(item));
    wake = writerIdle_;
  }
  // Only an idle writer is woken: one busy or gathering a batch will see the line anyway.
  if (wake) wake_.notify_one();
}

void BackgroundAppendLog::run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (incoming_.empty() && waiting_.empty()) {
      if (stopping_) return;
      writerIdle_ = true;
      wake_.wait(lock, [this] { return stopping_ || !incoming_.empty(); });
      writerIdle_ = false;
      continue;
    }
    for (Item& item : incoming_) waiting_.push_back(std::move(item));
    incoming_.clear();
    lock.unlock();
    std::size_t written = 0;
    const bool ok = writeWaiting(&written);
    report(ok);
    lock.lock();
    waitingBytes_ -= written;
    if (stopping_ && !ok) return;  // the last try at shutdown failed too
    wake_.wait_for(lock, ok ? options_.gatherTime : options_.retryInterval,
                   [this] { return stopping_; });
  }
}

bool BackgroundAppendLog::writeWaiting(std::size_t* writtenBytes) {
  // A removed folder takes the open file's name with it; start a new file
  // rather than write into one nobody can open.
  if (fd_ >= 0 && IsUnlinked(fd_)) closeFile();
  while (!waiting_.empty()) {
    Item& item = waiting_.front();
    if (item.kind == Item::Kind::Start) {
      closeFile();
      fileName_ = std::move(item.text);
      header_ = std::move(item.header);
    } else if (item.kind == Item::Kind::End) {
      closeFile();
      fileName_.clear();
    } else if (item.kind == Item::Kind::Mark) {
      if (item.then) item.then(fd_ >= 0 ? path_ : std::string());
    } else if (!fileName_.empty()) {
      if (!writeLines(writtenBytes)) return false;
      continue;  // the lines written are off the queue already
    } else {
      *writtenBytes += item.text.size();  // no file to go to
    }
    waiting_.pop_front();
  }
  return true;
}

// The lines at the front of the queue go out together, in one write() for
// as many as kBatchBytes holds: one system call a batch instead of one a
// line, so a disk that makes each call wait delays the batch, not every line.
bool BackgroundAppendLog::writeLines(std::size_t* writtenBytes) {
  if (fd_ < 0 && !openFile()) return false;
  if (!writeHeader()) return false;
  batch_.clear();
  for (const Item& item : waiting_) {
    if (item.kind != Item::Kind::Line) break;
    const std::size_t from = batch_.empty() ? frontOffset_ : 0;
    if (!batch_.empty() && batch_.size() + item.text.size() - from > kBatchBytes) break;
    batch_.append(item.text, from);
  }
  std::size_t sent = 0;
  const int error = WriteFrom(fd_, batch_, &sent);
  takeWritten(sent, writtenBytes);
  if (error) {
    failure_ = {path_, error};
    return false;
  }
  return true;
}

bool BackgroundAppendLog::writeHeader() {
  if (headerLeft_.empty()) return true;
  std::size_t offset = 0;
  const int error = WriteFrom(fd_, headerLeft_, &offset);
  headerLeft_.erase(0, offset);
  if (error) failure_ = {path_, error};
  return error == 0;
}

// Takes the lines a batch wrote whole off the queue; a line the batch wrote
// only in part stays at the front with its written bytes counted.
void BackgroundAppendLog::takeWritten(std::size_t sent, std::size_t* writtenBytes) {
  while (!waiting_.empty() && waiting_.front().kind == Item::Kind::Line) {
    const std::string& line = waiting_.front().text;
    const std::size_t left = line.size() - frontOffset_;
    if (sent < left) {
      frontOffset_ += sent;
      return;
    }
    sent -= left;
    *writtenBytes += line.size();
    frontOffset_ = 0;
    waiting_.pop_front();
  }
}

bool BackgroundAppendLog::openFile() {
  std::string fileInTheWay;
  if (const int error = MakeFolders(options_.folder, &fileInTheWay)) {
    failure_ = {options_.folder, error, fileInTheWay};
    return false;
  }
  if (const int error = CreateNewFile(options_.folder, fileName_, &fd_, &path_)) {
    failure_ = {options_.folder + '/' + fileName_, error};
    return false;
  }
  headerLeft_ = header_;
  // A line cut short in the old file is written whole in the new one.
  frontOffset_ = 0;
  return true;
}

void BackgroundAppendLog::closeFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  headerLeft_.clear();
}

void BackgroundAppendLog::report(bool ok) {
  std::uint64_t dropped = 0;
  {
    std::lock_guard lock(mutex_);
    dropped = std::exchange(dropped_, 0);
  }
  if (!ok && !failing_) {
    failing_ = true;
    if (listener_.failed) listener_.failed(failure_);
  } else if (ok && (failing_ || dropped > 0)) {
    failing_ = false;
    if (listener_.resumed) listener_.resumed(dropped);
  }
  // Lines dropped while still failing are told when writing resumes.
  if (!ok && dropped > 0) {
    std::lock_guard lock(mutex_);
    dropped_ += dropped;
  }
}

}  // namespace pump::posix
