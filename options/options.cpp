// Placeholder so the library exists before its first window lands.
namespace snapwire::options {}
