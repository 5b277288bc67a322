// A client library that imports a neighbour, as the vendor's JTAG client does in its bin64 folder.
extern "C" __declspec(dllimport) int qbvSearchDependency();

extern "C" __declspec(dllexport) int qbvSearchClient() {
    return qbvSearchDependency();
}
