// The library that the search test's client imports (tests/core/PlatformTest.cpp): where the loader finds
// it decides whether the client loads.
extern "C" __declspec(dllexport) int qbvSearchDependency() {
    return 1;
}
