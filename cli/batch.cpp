// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "base/json.h"

namespace pamerol {

namespace {

// Splits the input into lines; a line longer than the limit is kept only up to the limit and one byte
// more, so that a huge line costs no more memory than a long one.
class LineReader {
  public:
    LineReader(std::istream& in, std::size_t limit) : in_(in), limit_(limit), buffer_(1 << 16) {}

    // The next line without its line feed, and its full length; false at the end of the input.
    bool next(std::string& line, std::size_t& length) {
        line.clear();
        length = 0;
        bool any = false;
        for (;;) {
            if (pos_ == end_ && !fill()) return any;
            any = true;
            const char* start = buffer_.data() + pos_;
            const auto* lf = static_cast<const char*>(std::memchr(start, '\n', end_ - pos_));
            const std::size_t n = lf ? static_cast<std::size_t>(lf - start) : end_ - pos_;
            if (line.size() <= limit_) line.append(start, std::min(n, limit_ + 1 - line.size()));
            length += n;
            pos_ += n;
            if (lf) {
                ++pos_;
                return true;
            }
        }
    }

  private:
    bool fill() {
        if (!in_) return false;
        in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        pos_ = 0;
        end_ = static_cast<std::size_t>(in_.gcount());
        return end_ > 0;
    }
    std::istream& in_;
    std::size_t limit_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0, end_ = 0;
};

} // namespace

int RunBatch(const Settings* settings, YasalTablo table, std::istream& in, std::ostream& out,
             std::ostream& err, ArchiveRun* archive) {
    struct Job {
        Assignments assignments;
        std::string error;
        std::string result;
        int status = 0;
    };
    constexpr size_t kChunk = 4096;
    constexpr size_t kChunkBytes = 8u << 20;
    constexpr size_t kLineMax = 1u << 20;
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<ResultWriter> writers(workers);
    std::vector<Job> jobs(kChunk);
    int status = 0;
    long number = 0;
    std::string line;
    LineReader reader(in, kLineMax);
    for (bool more = true; more;) {
        size_t count = 0, bytes = 0;
        std::size_t length = 0;
        for (; count < kChunk && bytes < kChunkBytes && (more = reader.next(line, length)); ++count) {
            Job& job = jobs[count];
            bytes += line.size();
            if (length > kLineMax) {
                job.error = "satır 1 MiB'tan uzun (" + std::to_string(length) + " bayt)";
                continue;
            }
            AssignmentReader parser(job.assignments);
            if (!Json::sax_parse(line, &parser)) {
                job.error = parser.error;
                continue;
            }
            for (const auto& a : job.assignments)
                if (job.error.empty() && !KnownName(a.first)) job.error = UnknownField(a.first);
        }
        auto work = [&](unsigned w) {
            for (size_t i = w; i < count; i += workers) {
                Job& job = jobs[i];
                if (!job.error.empty()) continue;
                const Expected<void> ran = RunCase(settings, job.assignments, writers[w], job.result, nullptr,
                                                   nullptr, &job.status, nullptr, archive, i, table);
                if (!ran) job.error = ran.error().message;
            }
        };
        std::vector<std::thread> threads;
        for (unsigned w = 1; w < workers && w < count; ++w) threads.emplace_back(work, w);
        work(0);
        for (auto& t : threads) t.join();
        for (size_t i = 0; i < count; ++i) {
            ++number;
            if (jobs[i].error.empty()) {
                out << jobs[i].result;
                status = WorseStatus(status, jobs[i].status);
            } else {
                std::string refused;
                JsonWriter(refused)
                    .beginObject()
                    .key("line")
                    .number(number)
                    .key("error")
                    .text(jobs[i].error)
                    .endObject();
                out << refused << '\n';
                status = 1;
            }
            jobs[i] = Job{};
        }
        if (archive) status = WorseStatus(status, archive->flush());
        if (!OutputWritten(out, err)) return 1;
    }
    return status;
}

} // namespace pamerol
