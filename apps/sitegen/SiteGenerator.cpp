// Placeholder until the generator lands.
namespace sitegen {
int Placeholder() { return 0; }
}  // namespace sitegen
