// Code that includes nothing of the engine stays at the project's C++14.
static_assert(__cplusplus == 201402L, "the project's own standard");
