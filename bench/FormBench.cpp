// Under Wine: the "Action Properties" form of the toolkit, built from the same form resource as
// the plug-in's (embedded in this program by FormBench.rc), shown, painted and destroyed.
//   FormBench.exe [runs] [cycles]
// First `runs` timed rounds, each from the start of construction to the end of the first
// complete paint (RedrawWindow with RDW_UPDATENOW | RDW_ALLCHILDREN after the show, which returns
// once every window of the form has handled its WM_PAINT), broken into phases, and the time of
// destruction; then `cycles` create/show/paint/destroy cycles with the thread's windows, the
// process's GDI objects (fonts among them) and USER objects and private memory counted before
// and after. Prints figures; never fails.
#include "bench/BenchHost.h"
#include "editor/EditMonitor.h"
#include "ui/Font.h"
#include "ui/FormResource.h"
#include "ui/Resources.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace vigrel {
namespace {

using bench::MillisecondsSince;
using bench::Seconds;

BOOL CALLBACK CountUnpainted(HWND window, LPARAM count) {
    *reinterpret_cast<int*>(count) += GetUpdateRect(window, nullptr, FALSE) ? 1 : 0;
    return TRUE;
}

// Windows of the form that still have something to paint.
int Unpainted(HWND form) {
    int unpainted = GetUpdateRect(form, nullptr, FALSE) ? 1 : 0;
    EnumChildWindows(form, &CountUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted;
}

// Dispatches whatever the show and the paint left in the queue, outside the timed phases.
void Drain() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

struct Round {
    double construct;  // the constructor: the resource read, every component made and assigned
    double windows;    // every window of the form created (Handle)
    double show;       // ShowWindow
    double paint;      // RedrawWindow(RDW_UPDATENOW | RDW_ALLCHILDREN)
    double firstPaint; // construction start to the end of the paint
    double destroy;    // the form's destructor, every window and component with it
    int windowCount;   // windows of the thread while the form is shown
    int components;    // components the form owns
    int unpainted;     // windows still holding an update region after the paint
};

Round OneRound() {
    Round round{};
    const double start = Seconds();
    auto form = std::make_unique<TFormMonitorProperties>();
    round.construct = MillisecondsSince(start);
    double phase = Seconds();
    const HWND window = form->Handle();
    round.windows = MillisecondsSince(phase);
    phase = Seconds();
    form->Show();
    round.show = MillisecondsSince(phase);
    phase = Seconds();
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    round.paint = MillisecondsSince(phase);
    round.firstPaint = MillisecondsSince(start);
    round.unpainted = Unpainted(window);
    round.windowCount = static_cast<int>(bench::ThreadWindows().size());
    round.components = static_cast<int>(form->ComponentCount());
    Drain();
    phase = Seconds();
    form.reset();
    round.destroy = MillisecondsSince(phase);
    Drain();
    return round;
}

void Run(int runs, int cycles) {
    const std::string_view resource = ModuleResourceData(L"EDITMONITOR");
    std::vector<double> parse;
    for (int i = 0; i < runs; ++i) {
        const double start = Seconds();
        const FormObject data = ParseForm(resource);
        parse.push_back(MillisecondsSince(start));
    }

    const Round cold = OneRound();
    std::vector<Round> rounds;
    for (int i = 0; i < runs; ++i) {
        rounds.push_back(OneRound());
    }
    std::printf("The form from its resource: %d components, %d windows of the thread while it "
                "is shown; ms\n",
                cold.components, cold.windowCount);
    std::printf("  first round (window classes registered, fonts made): first paint %.2f, "
                "destruction %.2f\n",
                cold.firstPaint, cold.destroy);
    std::printf("  %d rounds:%38s %7s %7s\n", runs, "min", "median", "max");
    const auto column = [&](double Round::*field) {
        std::vector<double> values;
        for (const Round& round : rounds) {
            values.push_back(round.*field);
        }
        return values;
    };
    bench::PrintSpread("resource parse alone (ParseForm)", parse, "");
    bench::PrintSpread("construction (parse, components, properties)", column(&Round::construct),
                       "");
    bench::PrintSpread("window creation (Handle)", column(&Round::windows), "");
    bench::PrintSpread("show (ShowWindow)", column(&Round::show), "");
    bench::PrintSpread("paint (RedrawWindow UPDATENOW|ALLCHILDREN)", column(&Round::paint), "");
    bench::PrintSpread("construction start to first complete paint", column(&Round::firstPaint),
                       "   (target 30)");
    bench::PrintSpread("destruction", column(&Round::destroy), "   (target 5)");
    int unpainted = 0;
    for (const Round& round : rounds) {
        unpainted += round.unpainted;
    }
    std::printf("  windows left with an update region after the paint, all rounds: %d\n",
                unpainted);

    const bench::Holdings before = bench::CountHoldings();
    for (int i = 0; i < cycles; ++i) {
        OneRound();
    }
    const bench::Holdings after = bench::CountHoldings();
    std::printf("%d create/show/paint/destroy cycles: before -> after (growth; target none)\n",
                cycles);
    bench::PrintGrowth(before, after);
}

} // namespace
} // namespace vigrel

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 200;
    vigrel::Run(runs, cycles);
    return 0;
}
