#include "image/FolderConvert.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <system_error>
#include <thread>
#include <utility>

#include "image/LoadImage.h"
#include "image/Writer.h"
#include "messages/Catalogue.h"
#include "platform/File.h"

namespace pixalto {
namespace {

// A file of the batch: a name in the chosen kind's extension, and more than
// that extension alone.
bool IsBatchFile(const std::string& name, std::string_view extension) {
    return name.size() > extension.size() && HasExtension(name, extension);
}

// A failure of one file, shown once its group has been written.
struct Outcome {
    Error error;
    const char* title = nullptr;
    bool written = false;     // waiting for the group's commit
    std::uint64_t bytes = 0;  // written to its temporaries
};

// The files of a folder are put in place a group at a time: a few megabytes,
// so that the disk starts writing early and the last group's flush waits for
// little, and never more files than half the write batch holds. While one
// group is committed, the workers write up to that many files after it:
// their temporaries and the group's fit in the cleanup slots at once.
constexpr std::size_t kGroupFiles = ImageWriteBatch::kCapacity / 2;
constexpr std::uint64_t kGroupBytes = std::uint64_t{6} << 20;

// The files written but not yet committed, with their failures in order:
// the messages wait for the commit, so that they come as they always have.
// File i is entry i of the batch, which the workers fill ahead while the
// calling thread commits the group before.
class Group {
  public:
    Group(const std::string& prefix, const std::vector<std::string>& names, MessageSink& messages,
          FolderConversionResult& result)
        : prefix_(prefix), names_(names), messages_(messages), result_(result) {
        errors_.resize(kGroupFiles);
        pending_.reserve(kGroupFiles);
    }

    // Writes file index's output to its temporaries, on any thread, once
    // for each file. The outcome comes back with the failure, if any.
    Outcome Stage(std::size_t index, Outcome outcome, const ImageState& state, bool asTim) {
        if (!outcome.error) {
            outcome.error =
                batch_->Stage(index, state, prefix_ + ConvertedName(names_[index], !asTim), asTim);
            outcome.title = msg::kErrorTitle;
            outcome.written = !outcome.error;
            outcome.bytes = asTim ? std::uint64_t{state.imageDataSize} + state.clutDataSize
                                  : std::uint64_t{state.bmpFileHeader.bfSize} + state.sidecarSize;
        }
        return outcome;
    }

    // On the calling thread, in order: takes file index's outcome; the file
    // that fills a group, or the last of the folder, commits the group.
    void Add(std::size_t index, Outcome outcome) {
        bytes_ += outcome.bytes;
        pending_.emplace_back(index, std::move(outcome));
        const bool last = index + 1 == names_.size();
        if (bytes_ >= kGroupBytes || pending_.size() == kGroupFiles || last) {
            Commit(last);
        }
    }

  private:
    // Puts the group's files in place and shows its messages. The next
    // group's flush makes this one's renames durable; the last group flushes
    // its folder.
    void Commit(bool last) {
        const std::span<Error> errors(errors_.data(), pending_.size());
        batch_->CommitEntries(pending_.front().first, errors, /*flushFolder=*/last);
        for (std::size_t i = 0; i < pending_.size(); ++i) {
            auto& [index, outcome] = pending_[i];
            if (outcome.written) {
                outcome.error = std::move(errors[i]);
            }
            if (outcome.error) {
                messages_.Show(FailureText(outcome.error, prefix_ + names_[index]), outcome.title);
            }
            ++(outcome.error ? result_.failed : result_.converted);
        }
        pending_.clear();
        messages_.Progress(result_.converted + result_.failed, names_.size());
        bytes_ = 0;
    }

    const std::string& prefix_;
    const std::vector<std::string>& names_;
    MessageSink& messages_;
    FolderConversionResult& result_;
    std::unique_ptr<ImageWriteBatch> batch_ = std::make_unique<ImageWriteBatch>();
    std::vector<Error> errors_;
    std::vector<std::pair<std::size_t, Outcome>> pending_;
    std::uint64_t bytes_ = 0;
};

// The first step of one file, on a worker: reading it, and for a TIM its
// conversion to BMP, which never asks origins for anything, and the writing
// of the BMP. A BMP's conversion may ask (a dialog in the window), so it and
// the writing of the TIM wait for the calling thread. state keeps the image
// before's memory, and its bytes, which the readers and the conversion write
// over.
Outcome Decode(std::size_t index, const std::string& input, bool toBmp, ImageState& state,
               OriginsRequest& origins, Group& group) {
    File file;
    if (!file.Open(input, File::Mode::Read)) {
        return {file.LastError().As(ErrorCode::CouldntOpenFile), msg::kFileErrorTitle};
    }
    Error error = LoadImage(state, file, /*isTim=*/toBmp);
    file.Close();
    if (error) {
        return {error, toBmp ? msg::kTimErrorTitle : msg::kBmpErrorTitle};
    }
    if (toBmp) {
        // A folder conversion starts every image on set 0.
        if ((error = ConvertImage(state, true, 0, origins))) {
            return {error, msg::kTimConversionErrorTitle};
        }
        return group.Stage(index, {}, state, /*asTim=*/false);
    }
    return {};
}

// Reads, converts and (to BMP) writes the files of a folder on a few
// threads, ahead of the calling thread, which takes their outcomes in order
// from a ring. To BMP, each worker has an image record of its own; to TIM,
// each place of the ring has one, handed to the calling thread with the
// outcome.
class DecodePool {
  public:
    DecodePool(const std::string& prefix, const std::vector<std::string>& names, bool toBmp,
               ImageState& first, OriginsRequest& origins, Group& group)
        : prefix_(prefix), names_(names), toBmp_(toBmp), origins_(origins), group_(group) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t threads = std::min<std::size_t>({cores, names.size(), kGroupFiles});
        // To BMP, the workers may run up to a group's most files ahead of
        // the calling thread, which commits the group before; to TIM, two records a
        // thread keep every worker busy while the calling thread converts
        // and writes the ones before.
        ring_.resize(toBmp ? kGroupFiles : std::clamp<std::size_t>(2 * threads, 1, kGroupFiles));
        states_.resize(std::max<std::size_t>(toBmp ? threads : ring_.size(), 1));
        states_[0] = &first;
        extra_.resize(states_.size() - 1);
        for (std::size_t i = 1; i < states_.size(); ++i) {
            states_[i] = &extra_[i - 1];
        }
        for (std::size_t i = 0; i < threads; ++i) {
            workers_.emplace_back([this, i] { Work(toBmp_ ? states_[i] : nullptr); });
        }
    }
    ~DecodePool() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        freed_.notify_all();
        for (std::thread& worker : workers_) {
            worker.join();
        }
        for (ImageState* state : states_) {
            state->EmptyTimSide();
            state->EmptyBmpSide();
        }
    }
    DecodePool(const DecodePool&) = delete;
    DecodePool& operator=(const DecodePool&) = delete;

    // Waits for file index (taken in order) and gives its outcome and, to
    // TIM, the record holding its BMP (nothing to BMP: the file is written).
    ImageState* Take(std::size_t index, Outcome& outcome) {
        const std::size_t place = index % ring_.size();
        Slot& slot = ring_[place];
        std::unique_lock lock(mutex_);
        taking_ = true;
        decoded_.wait(lock, [&] { return slot.done; });
        taking_ = false;
        if (slot.failure) {
            std::rethrow_exception(std::exchange(slot.failure, nullptr));
        }
        outcome = std::move(slot.outcome);
        return toBmp_ ? nullptr : states_[place];
    }
    // The place of file index is free for the file ring size after it.
    void Release(std::size_t index) {
        bool waiting = false;
        {
            std::lock_guard lock(mutex_);
            ring_[index % ring_.size()].done = false;
            released_ = index + 1;
            waiting = waiting_ != 0;
        }
        if (waiting) {
            freed_.notify_all();
        }
    }

  private:
    struct Slot {
        Outcome outcome;
        std::exception_ptr failure;  // running out of memory, for the calling thread
        bool done = false;
    };

    void Work(ImageState* own) {
        LeaveStopsToOtherThreads();
        for (;;) {
            std::unique_lock lock(mutex_);
            const std::size_t index = claimed_++;
            if (index >= names_.size()) {
                return;
            }
            ++waiting_;
            freed_.wait(lock, [&] { return stop_ || index < released_ + ring_.size(); });
            --waiting_;
            if (stop_) {
                return;
            }
            const std::size_t place = index % ring_.size();
            Slot& slot = ring_[place];
            ImageState& state = own != nullptr ? *own : *states_[place];
            lock.unlock();
            Outcome outcome;
            std::exception_ptr failure;
            try {
                outcome = Decode(index, prefix_ + names_[index], toBmp_, state, origins_, group_);
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            slot.outcome = std::move(outcome);
            slot.failure = failure;
            slot.done = true;
            const bool taking = taking_;
            lock.unlock();
            if (taking) {
                decoded_.notify_all();
            }
        }
    }

    const std::string& prefix_;
    const std::vector<std::string>& names_;
    const bool toBmp_;
    OriginsRequest& origins_;
    Group& group_;
    std::vector<Slot> ring_;
    std::vector<ImageState*> states_;
    std::vector<ImageState> extra_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable decoded_;
    std::condition_variable freed_;
    std::size_t claimed_ = 0;
    std::size_t released_ = 0;
    std::size_t waiting_ = 0;  // workers waiting for a free place
    bool taking_ = false;      // the calling thread waits for an outcome
    bool stop_ = false;
};

}  // namespace

ImageFileSearch FindImageFiles(const std::string& folder, bool wantTim) {
    return FindFilesEndingIn(folder, wantTim ? ".tim" : ".bmp");
}

ImageFileSearch FindFilesEndingIn(const std::string& folder, std::string_view extension) {
    ImageFileSearch search;
    std::error_code error;
    namespace fs = std::filesystem;
    for (fs::directory_iterator it(folder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        std::string name = it->path().filename().string();
        // Like the system's file search, everything but folders: a file that
        // can't be read is then reported instead of passed over in silence.
        std::error_code unknownKind;
        if (!it->is_directory(unknownKind) && IsBatchFile(name, extension)) {
            search.names.push_back(std::move(name));
        }
    }
    if (error) {
        // A folder read only in part is no list to convert from.
        search.names.clear();
        search.failure = Error(ErrorCode::NoFilesFound, folder, error.value());
    }
    std::sort(search.names.begin(), search.names.end());
    return search;
}

std::string NoFilesFoundText(const ImageFileSearch& search) {
    return msg::Text(search.failure ? search.failure : Error(ErrorCode::NoFilesFound));
}

std::string FailureText(const Error& error, const std::string& input) {
    const std::string message = msg::Text(error);
    const std::string reason = msg::IsAboutAFile(error.code) ? msg::SystemReason(error) : "";
    std::string text = message;
    if (message.rfind(input, 0) != 0 && reason.rfind(input + ": ", 0) != 0) {
        text += '\n' + input;
    }
    if (!reason.empty()) {
        text += '\n' + reason;
    }
    return text;
}

std::string FolderWithSeparator(const std::string& folder) {
    return !folder.empty() && folder.back() == '/' ? folder : folder + '/';
}

std::string ConvertedName(const std::string& name, bool toBmp) {
    return name.substr(0, name.size() < 3 ? 0 : name.size() - 3) + (toBmp ? "bmp" : "tim");
}

FolderConversionResult ConvertFolder(const std::string& folder,
                                     const std::vector<std::string>& names, bool toBmp,
                                     ImageState& state, OriginsRequest& origins,
                                     MessageSink& messages) {
    const std::string prefix = FolderWithSeparator(folder);
    FolderConversionResult result;
    {
        Group group(prefix, names, messages, result);
        DecodePool pool(prefix, names, toBmp, state, origins, group);
        for (std::size_t i = 0; i < names.size(); ++i) {
            Outcome outcome;
            ImageState* bmp = pool.Take(i, outcome);
            messages.Converting(prefix + names[i]);
            if (bmp != nullptr && !outcome.error) {
                if (Error error = ConvertImage(*bmp, false, 0, origins)) {
                    outcome = {error, msg::kBmpConversionErrorTitle};
                }
                outcome = group.Stage(i, std::move(outcome), *bmp, /*asTim=*/true);
            }
            group.Add(i, std::move(outcome));
            pool.Release(i);
        }
    }
    messages.Finished(msg::ConvertedText(result.converted, result.failed),
                      msg::kFilesConvertedTitle);
    return result;
}

}  // namespace pixalto
