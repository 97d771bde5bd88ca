// Media tests run real pipelines whose frames reach the test through the Qt event loop.
//
// GStreamer's leaks tracer watches every GStreamer object the tests make; after the last test
// (ctest runs each test in its own process) anything still alive that GStreamer does not keep
// for itself is a leak, and the run fails listing it.
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>

#include "test_support.h"

namespace {

class GstLeakCheck final : public ::testing::Environment {
public:
    void TearDown() override {
        if (!gst_is_initialized()) return;  // no test used GStreamer
        const std::vector<std::string> live = vistrela::testing::LiveGstObjectsWhenSettled();
        EXPECT_TRUE(live.empty()) << live.size() << " GStreamer objects leaked:\n"
                                  << vistrela::testing::JoinLines(live);
    }
};

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// Leak reports need whole allocation stacks: GLib and GStreamer are built without frame
// pointers, and .ci/lsan.supp names the GStreamer functions whose allocations are kept.
extern "C" const char* __asan_default_options() {
    return "fast_unwind_on_malloc=0";
}
#endif

int main(int argc, char** argv) {
    // The same as tests/CMakeLists.txt sets, for runs of this program by hand.
    setenv("GST_TRACERS", "leaks", 0);
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GstLeakCheck);
    return RUN_ALL_TESTS();
}
