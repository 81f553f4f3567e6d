// zorvexa-render: renders the guide clips, title cards and the demo exercise session
// into a folder (the build puts them into DemoVideos beside the programs).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "tools/render/ClipWriter.h"
#include "tools/render/Clips.h"
#include "tools/render/Dataset.h"
#include "tools/render/DemoScript.h"

using namespace zorvexa::render;

namespace {

void usage(FILE* out) {
    std::fputs("Usage: zorvexa-render [--list | --script] [--only FILE]... FOLDER\n"
               "       zorvexa-render --dataset FOLDER [--seed N] [--clips K] [--small]\n"
               "\n"
               "Renders the guide clips, the title cards and the demo exercise session\n"
               "as Motion-JPEG AVI files into FOLDER (created if missing).\n"
               "\n"
               "  --dataset FOLDER  render ground-truth clips instead: K varied webcam\n"
               "               takes (30 fps) of strokes and of movements that are not\n"
               "               strokes, each NAME.avi with NAME.json listing its strokes\n"
               "               as [{\"type\": \"UP\", \"start\": 31, \"end\": 45}, ...]\n"
               "               (frames numbered from 1, as zorvexa-analyze numbers them;\n"
               "               start: the last frame before the quick movement, end: the\n"
               "               frame the arms arrive in), and s<N>_index.txt describing\n"
               "               the clips. The same seed makes the same clips.\n"
               "  --seed N     seed of the ground-truth clips (default 1)\n"
               "  --clips K    number of ground-truth clips (default 20); with --list,\n"
               "               describe them without rendering\n"
               "  --small      every ground-truth clip at 160 x 120 (cheaper)\n"
               "  --only FILE  render only this clip (may be given more than once)\n"
               "  --list       print the clip names, sizes and frame counts and stop\n"
               "  --script     print the strokes of the demo session with their frames\n"
               "               (numbered from 1, as zorvexa-analyze numbers them) and stop\n"
               "  --help       show this text\n",
               out);
}

bool makeFolder(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    return mkdir(path.c_str(), 0755) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> only;
    std::string folder;
    bool list = false;
    bool script = false;
    std::string dataset;
    long long seed = 1;
    long long clipCount = 20;
    bool small = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        } else if (arg == "--list") {
            list = true;
        } else if (arg == "--script") {
            script = true;
        } else if (arg == "--only" && i + 1 < argc) {
            only.emplace_back(argv[++i]);
        } else if (arg == "--small") {
            small = true;
        } else if (arg == "--dataset" && i + 1 < argc) {
            dataset = argv[++i];
        } else if ((arg == "--seed" || arg == "--clips") && i + 1 < argc) {
            char* end = nullptr;
            const long long v = std::strtoll(argv[++i], &end, 10);
            if (*end != '\0' || v < (arg == "--seed" ? 0 : 1) || v > 1000000000) {
                std::fprintf(stderr, "zorvexa-render: %s needs a whole number, not %s\n",
                             arg.c_str(), argv[i]);
                return 2;
            }
            (arg == "--seed" ? seed : clipCount) = v;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "zorvexa-render: unknown option %s\n", arg.c_str());
            usage(stderr);
            return 2;
        } else if (folder.empty()) {
            folder = arg;
        } else {
            usage(stderr);
            return 2;
        }
    }

    if (!dataset.empty()) {
        if (!folder.empty() || script || !only.empty()) {
            usage(stderr);
            return 2;
        }
        if (list) {
            for (int i = 1; i <= clipCount; ++i)
                std::printf(
                    "%s\n",
                    datasetClip(static_cast<std::uint64_t>(seed), i, small).description.c_str());
            return 0;
        }
        if (!makeFolder(dataset)) {
            std::fprintf(stderr, "zorvexa-render: cannot create the folder %s\n", dataset.c_str());
            return 1;
        }
        const auto start = std::chrono::steady_clock::now();
        const DatasetResult r = writeDataset(dataset, static_cast<std::uint64_t>(seed),
                                             static_cast<int>(clipCount), small);
        if (!r.error.empty()) {
            std::fprintf(stderr, "zorvexa-render: %s\n", r.error.c_str());
            return 1;
        }
        std::printf(
            "zorvexa-render: %d ground-truth clips of seed %lld in %s (%.1f s)\n", r.written, seed,
            dataset.c_str(),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        return 0;
    }

    if (script) {
        const DemoSession session = buildDemoSession();
        for (const ScriptedStroke& s : session.strokes)
            std::printf("frames %d-%d: %s (%s)\n", s.span.first + 1, s.span.last + 1,
                        zorvexa::directionName(s.step.expected), strokeName(s.step.stroke));
        std::printf("%d frames at %d fps\n", session.timeline.frameCount(), kDemoFps);
        return 0;
    }

    const std::vector<Clip> clips = allClips();
    if (list) {
        for (const Clip& c : clips)
            std::printf("%s %dx%d %.0f fps %d frames\n", c.file.c_str(), c.size.width,
                        c.size.height, c.fps, c.frames);
        return 0;
    }
    if (folder.empty()) {
        usage(stderr);
        return 2;
    }
    for (const std::string& name : only) {
        if (!findClip(clips, name)) {
            std::fprintf(stderr, "zorvexa-render: no clip named %s (see --list)\n", name.c_str());
            return 2;
        }
    }
    if (!makeFolder(folder)) {
        std::fprintf(stderr, "zorvexa-render: cannot create the folder %s\n", folder.c_str());
        return 1;
    }

    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const Clip& c : clips) {
        if (!only.empty() && std::find(only.begin(), only.end(), c.file) == only.end())
            continue;
        const ClipResult r = writeClip(folder + "/" + c.file, c.size, c.fps, c.frames, c.frameAt);
        if (!r.ok) {
            std::fprintf(stderr, "zorvexa-render: %s\n", r.error.c_str());
            ++failures;
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("zorvexa-render: %s clips in %s (%.1f s)\n", failures ? "some" : "all",
                folder.c_str(), seconds);
    return failures == 0 ? 0 : 1;
}
