.pragma library
// Named images come from the image provider "vaultora" that the application registers.
function source(name) {
    return name && name.length > 0 ? "image://vaultora/" + name : ""
}
