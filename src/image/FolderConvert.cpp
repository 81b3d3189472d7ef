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
    bool written = false;  // waiting for the group's commit
};

// The first step of one file, on a worker: reading it, and for a TIM its
// conversion to BMP, which never asks origins for anything. A BMP's
// conversion may ask (a dialog in the window), so it waits for the calling
// thread.
Outcome Decode(const std::string& input, bool toBmp, ImageState& state, OriginsRequest& origins) {
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
        error = ConvertImage(state, true, 0, origins);
        state.EmptyTimSide();
        if (error) {
            return {error, msg::kTimConversionErrorTitle};
        }
    }
    return {};
}

// Reads and converts the files of a folder on a few threads, ahead of the
// calling thread, which takes them in order: a ring of image records, each
// decoded by a worker and then handed over.
class DecodePool {
  public:
    DecodePool(const std::string& prefix, const std::vector<std::string>& names, bool toBmp,
               ImageState& first, OriginsRequest& origins)
        : prefix_(prefix), names_(names), toBmp_(toBmp), origins_(origins) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const std::size_t threads = std::min<std::size_t>(cores, names.size());
        // Two records a thread keep every worker busy while the calling
        // thread writes the ones before.
        ring_.resize(std::max<std::size_t>(2 * threads, 1));
        ring_[0].state = &first;
        extra_.resize(ring_.size() - 1);
        for (std::size_t i = 1; i < ring_.size(); ++i) {
            ring_[i].state = &extra_[i - 1];
        }
        for (std::size_t i = 0; i < threads; ++i) {
            workers_.emplace_back([this] { Work(); });
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
    }
    DecodePool(const DecodePool&) = delete;
    DecodePool& operator=(const DecodePool&) = delete;

    // Waits for file index (taken in order) and gives its record and outcome.
    ImageState& Take(std::size_t index, Outcome& outcome) {
        Slot& slot = ring_[index % ring_.size()];
        std::unique_lock lock(mutex_);
        decoded_.wait(lock, [&] { return slot.done; });
        if (slot.failure) {
            std::rethrow_exception(std::exchange(slot.failure, nullptr));
        }
        outcome = std::move(slot.outcome);
        return *slot.state;
    }
    // The record of file index is free for the file ring size after it.
    void Release(std::size_t index) {
        {
            std::lock_guard lock(mutex_);
            ring_[index % ring_.size()].done = false;
            released_ = index + 1;
        }
        freed_.notify_all();
    }

  private:
    struct Slot {
        ImageState* state = nullptr;
        Outcome outcome;
        std::exception_ptr failure;  // running out of memory, for the calling thread
        bool done = false;
    };

    void Work() {
        for (;;) {
            std::unique_lock lock(mutex_);
            const std::size_t index = claimed_++;
            if (index >= names_.size()) {
                return;
            }
            freed_.wait(lock, [&] { return stop_ || index < released_ + ring_.size(); });
            if (stop_) {
                return;
            }
            Slot& slot = ring_[index % ring_.size()];
            lock.unlock();
            Outcome outcome;
            std::exception_ptr failure;
            try {
                outcome = Decode(prefix_ + names_[index], toBmp_, *slot.state, origins_);
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            slot.outcome = std::move(outcome);
            slot.failure = failure;
            slot.done = true;
            lock.unlock();
            decoded_.notify_all();
        }
    }

    const std::string& prefix_;
    const std::vector<std::string>& names_;
    const bool toBmp_;
    OriginsRequest& origins_;
    std::vector<Slot> ring_;
    std::vector<ImageState> extra_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable decoded_;
    std::condition_variable freed_;
    std::size_t claimed_ = 0;
    std::size_t released_ = 0;
    bool stop_ = false;
};

// The files written but not yet committed, with their failures in order:
// the messages wait for the commit, so that they come as they always have.
class Group {
  public:
    Group(const std::string& prefix, const std::vector<std::string>& names, MessageSink& messages,
          FolderConversionResult& result)
        : prefix_(prefix), names_(names), messages_(messages), result_(result) {
        batch_ = std::make_unique<ImageWriteBatch>();
        errors_.resize(ImageWriteBatch::kCapacity);
        pending_.reserve(ImageWriteBatch::kCapacity);
    }

    void Add(std::size_t index, Outcome outcome, const ImageState& state, bool asTim) {
        if (!outcome.error) {
            outcome.error =
                batch_->Add(state, prefix_ + ConvertedName(names_[index], !asTim), asTim);
            outcome.title = msg::kErrorTitle;
            outcome.written = !outcome.error;
        }
        pending_.emplace_back(index, std::move(outcome));
        if (batch_->Full()) {
            Commit();
        }
    }

    // Puts the group's files in place and shows its messages.
    void Commit() {
        const std::size_t written = batch_->Size();
        batch_->Commit(std::span<Error>(errors_.data(), written));
        std::size_t next = 0;
        for (auto& [index, outcome] : pending_) {
            if (outcome.written) {
                outcome.error = std::move(errors_[next++]);
            }
            if (outcome.error) {
                messages_.Show(FailureText(outcome.error, prefix_ + names_[index]), outcome.title);
            }
            ++(outcome.error ? result_.failed : result_.converted);
        }
        pending_.clear();
    }

  private:
    const std::string& prefix_;
    const std::vector<std::string>& names_;
    MessageSink& messages_;
    FolderConversionResult& result_;
    std::unique_ptr<ImageWriteBatch> batch_;
    std::vector<Error> errors_;
    std::vector<std::pair<std::size_t, Outcome>> pending_;
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
        DecodePool pool(prefix, names, toBmp, state, origins);
        for (std::size_t i = 0; i < names.size(); ++i) {
            Outcome outcome;
            ImageState& image = pool.Take(i, outcome);
            messages.Converting(prefix + names[i]);
            if (!toBmp && !outcome.error) {
                if (Error error = ConvertImage(image, false, 0, origins)) {
                    outcome = {error, msg::kBmpConversionErrorTitle};
                }
                image.EmptyBmpSide();
            }
            group.Add(i, std::move(outcome), image, /*asTim=*/!toBmp);
            image.EmptyTimSide();
            image.EmptyBmpSide();
            pool.Release(i);
        }
        group.Commit();
    }
    messages.Finished(msg::ConvertedText(result.converted, result.failed),
                      msg::kFilesConvertedTitle);
    return result;
}

}  // namespace pixalto
