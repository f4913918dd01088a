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
    return address, _takes_data(name, what), context or None, keep_alive


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
    return address, _takes_data(signature, "the ctypes function"), None, keep_alive


def _from_cffi(f):
    import cffi
    ffi = cffi.FFI()
    signature = ffi.getctype(ffi.typeof(f))
    address = int(ffi.cast("uintptr_t", f))
    return address, _takes_data(signature, "the cffi function"), None, f


def _recognise(f):
    """(address, takes_data, bound data address or None, keep_alive), or None."""
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


def _signature_key(f):
    # A ctypes function's types can be set again after a first use.
    return (f.restype, f.argtypes) if isinstance(f, ctypes._CFuncPtr) else None


# The last function recognised: a Gibbs sampler builds a fresh sampler from the
# same function at every update, and recognising it costs more than the draw.
# _core.fresh_c reads it too (f, key, found): keep its layout.
_last = (None, None, None)


def c_function(f):
    """(address, takes_data, bound data address or None, keep_alive) if `f` is
    a C function, else None."""
    global _last
    seen, key, found = _last
    if f is seen and _signature_key(f) == key:
        return found
    found = _recognise(f)
    _last = (f, _signature_key(f), found)
    return found


def _data_address(data):
    """The address a data= argument stands for, and the object to keep alive."""
    if isinstance(data, int) and not isinstance(data, bool):
        if data < 0:
            raise ValueError("data must be a non-negative address, not %d" % data)
        return data, None
    if isinstance(data, ctypes.c_void_p):
        return data.value or 0, data
    if isinstance(data, ctypes._Pointer):  # ctypes.pointer(x): where it points
        return ctypes.cast(data, ctypes.c_void_p).value or 0, data
    if isinstance(data, (ctypes.Array, ctypes.Structure, ctypes.Union, ctypes._SimpleCData)):
        return ctypes.addressof(data), data
    interface = getattr(data, "__array_interface__", None)
    if interface is not None:  # a numpy array: its buffer
        return interface["data"][0], data
    raise TypeError("data must be an address (int), a ctypes object or a numpy array, not %s"
                    % type(data).__name__)


def c_call(logpdf, found, data):
    """(address, takes_data, data address, keep_alive) for calling `found`, the
    recognised C function `logpdf`, with the caller's data= argument."""
    address, takes_data, bound, keep_alive = found
    if not takes_data:
        if data is not None:
            raise ValueError("data= is for C functions 'double (double, void *)'; %r takes "
                             "no data pointer" % (logpdf,))
        return address, False, 0, keep_alive
    if data is None:
        if bound is None:
            raise ValueError(
                "the C function %r takes a 'void *' data pointer, but no data was given: pass "
                "data=... or scipy.LowLevelCallable(f, user_data=...) (data=0 passes a null "
                "pointer to a function that accepts one)" % (logpdf,))
        return address, True, bound, keep_alive
    if bound is not None:
        raise ValueError("the LowLevelCallable %r carries its user_data already; "
                         "data= would replace it" % (logpdf,))
    pointer, owner = _data_address(data)
    return address, True, pointer, (keep_alive, owner)
