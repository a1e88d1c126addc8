def build(root):
    return []
