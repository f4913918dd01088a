"""Recognising a log-density given as a C function.

A C function ``double f(double)`` or ``double f(double, void *)`` can come as
a ``scipy.LowLevelCallable``, a PyCapsule named by its signature, a ctypes
function pointer, a cffi function pointer or a numba ``cfunc``. The sampler
then calls it directly, without the interpreter.
"""
import ctypes

from . import _core

_SIGNATURES = {"double(double)": False, "double(double,void*)": True}


def _takes_data(signature, what):
    key = "".join(str(signature).split()).replace("(*)", "")
    if key not in _SIGNATURES:
        raise ValueError("%s has signature %r; a log-density needs "
                         "'double (double)' or 'double (double, void *)'" % (what, signature))
    return _SIGNATURES[key]


def _from_capsule(capsule, keep_alive, what):
    address, name, context = _core.capsule_contents(capsule)
    return address, _takes_data(name, what), context, keep_alive


def _from_ctypes(f, keep_alive):
    if f.argtypes is None:
        raise ValueError("set argtypes and restype of the ctypes function %r" % (f,))
    names = [t.__name__ for t in (f.restype,) + tuple(f.argtypes)] if f.restype else []
    plain = {"c_double": "double", "c_void_p": "void *"}
    if not names or any(n not in plain for n in names):
        raise ValueError("the ctypes function %r must take (c_double[, c_void_p]) and return "
                         "c_double" % (f,))
    signature = "%s (%s)" % (plain[names[0]], ", ".join(plain[n] for n in names[1:]))
    address = ctypes.cast(f, ctypes.c_void_p).value
    return address, _takes_data(signature, "the ctypes function"), 0, keep_alive


def _from_cffi(f):
    import cffi
    ffi = cffi.FFI()
    signature = ffi.getctype(ffi.typeof(f))
    address = int(ffi.cast("uintptr_t", f))
    return address, _takes_data(signature, "the cffi function"), 0, f


def c_function(f):
    """(address, takes_data, data, keep_alive) if `f` is a C function, else None."""
    kind = type(f)
    if kind.__name__ == "LowLevelCallable" and isinstance(f, tuple):
        return _from_capsule(tuple.__getitem__(f, 0), f, "the LowLevelCallable")
    if kind.__name__ == "PyCapsule":
        return _from_capsule(f, f, "the capsule")
    if isinstance(f, ctypes._CFuncPtr):
        return _from_ctypes(f, f)
    if isinstance(getattr(f, "ctypes", None), ctypes._CFuncPtr):  # numba cfunc
        return _from_ctypes(f.ctypes, f)
    if kind.__module__ == "_cffi_backend":
        return _from_cffi(f)
    return None
