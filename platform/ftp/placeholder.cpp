// Placeholder until the layer lands.
namespace snapwire {}
